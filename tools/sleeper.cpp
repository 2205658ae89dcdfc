// revivix-sleeper.exe: a process that stays alive for about two minutes and then ends with exit
// code 7, so a test can tell its termination (exit code 0) from its natural end.
// With the argument "broadcast" it instead sends a message of its own to every top-level window,
// waiting up to 20 s for each to answer, and then ends with exit code 0: a program that talks to
// the others' windows while it ends.
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "broadcast") == 0) {
    const UINT message = RegisterWindowMessageW(L"RevivixSleeperBroadcast");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, 20000, &result);
    return 0;
  }
  Sleep(120000);
  return 7;
}
