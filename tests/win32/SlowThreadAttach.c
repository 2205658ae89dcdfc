/* revivix-slow-attach.dll: a library whose thread-attach routine sleeps for as long as it is
   told, so that every thread started meanwhile begins late, as on a loaded machine or while
   another thread holds the loader lock. */
#include <windows.h>

static volatile LONG g_delayMs = 0;

__declspec(dllexport) void SetThreadStartDelay(LONG milliseconds) {
  InterlockedExchange(&g_delayMs, milliseconds);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_THREAD_ATTACH) {
    const LONG delay = InterlockedCompareExchange(&g_delayMs, 0, 0);
    if (delay > 0) Sleep((DWORD)delay);
  }
  return TRUE;
}
