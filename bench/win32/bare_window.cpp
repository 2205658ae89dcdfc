// revivix-bare-window.exe: the floor of the start-up benchmark. It registers a window class,
// creates one overlapped window, shows it and runs the message loop, and does nothing else, so
// its time from process start to visible window is what the platform itself costs.
// revivix-bare-window-v6.exe (REVIVIX_COMMON_CONTROLS) is the same window with what the look of
// fernclip.exe's controls takes before any of them exists: the common controls 6 manifest and
// InitCommonControlsEx.
#include <windows.h>

#ifdef REVIVIX_COMMON_CONTROLS
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
#ifdef REVIVIX_COMMON_CONTROLS
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
#endif
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = &BareProc;
  wc.lpszClassName = L"RevivixBareWindow";
  if (!RegisterClassExW(&wc)) return 1;
  HWND window = CreateWindowExW(
      0, wc.lpszClassName, L"Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
      CW_USEDEFAULT, CW_USEDEFAULT, 533, 480, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand == SW_HIDE ? SW_SHOW : showCommand);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
