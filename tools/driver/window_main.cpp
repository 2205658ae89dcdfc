// revivix-window.exe, the demo's hand on the wizard's window:
//   revivix-window wait  "<caption>" [seconds]  waits until a window with that caption shows
//   revivix-window close "<caption>" [seconds]  asks it to close (WM_CLOSE, as the title-bar
//                                               button does) and waits until its process ended
//   revivix-window shown "<caption>" <control id> [seconds]
//                                               waits until that window's control is visible
// Exit code 0 on success, 1 when no such window appeared, 2 when the program did not end or the
// control did not show, 3 on wrong arguments.
#include <cstdio>
#include <cwchar>

#include "driver/PageReader.h"
#include "driver/WindowProbe.h"

namespace {

int WaitForControl(int argc, wchar_t** argv) {
  const DWORD timeoutMs =
      argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) * 1000 : 15000;
  const int id = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
  HWND window = revivix::driver::WaitForTopLevelWindow(argv[2], 0, timeoutMs);
  if (!window) {
    std::fwprintf(stderr, L"revivix-window: no window \"%ls\"\n", argv[2]);
    return 1;
  }
  if (!revivix::driver::WaitUntil(
          timeoutMs, [&] { return revivix::driver::ReadControl(window, id).visible; })) {
    std::fwprintf(stderr, L"revivix-window: control %d did not show\n", id);
    return 2;
  }
  std::printf("control shown\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 4 && std::wcscmp(argv[1], L"shown") == 0) return WaitForControl(argc, argv);
  const bool wait = argc >= 3 && std::wcscmp(argv[1], L"wait") == 0;
  const bool close = argc >= 3 && std::wcscmp(argv[1], L"close") == 0;
  if (!wait && !close) {
    std::fwprintf(stderr,
                  L"usage: revivix-window wait|close <caption> [seconds]\n"
                  L"       revivix-window shown <caption> <control id> [seconds]\n");
    return 3;
  }
  const DWORD timeoutMs =
      argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) * 1000 : 15000;
  HWND window = revivix::driver::WaitForTopLevelWindow(argv[2], 0, timeoutMs);
  if (!window) {
    std::fwprintf(stderr, L"revivix-window: no window \"%ls\"\n", argv[2]);
    return 1;
  }
  if (wait) {
    std::printf("shown\n");
    return 0;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (!revivix::driver::WaitForProcessEnd(processId, timeoutMs)) {
    std::fwprintf(stderr, L"revivix-window: the program did not end\n");
    return 2;
  }
  std::printf("closed\n");
  return 0;
}
