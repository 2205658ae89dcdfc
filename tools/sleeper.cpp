// revivix-sleeper.exe: a process that stays alive for about two minutes and then ends with exit
// code 7, so a test can tell its termination (exit code 0) from its natural end.
#include <windows.h>

int main() {
  Sleep(120000);
  return 7;
}
