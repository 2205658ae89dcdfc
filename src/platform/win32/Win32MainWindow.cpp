#include "platform/win32/Win32MainWindow.h"

namespace revivix::win32 {

std::uint32_t Win32MainWindow::GetStyle() {
  return static_cast<std::uint32_t>(GetWindowLongPtrW(window_, GWL_STYLE));
}

void Win32MainWindow::SetStyle(std::uint32_t style) {
  SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
  // The frame is drawn from the cached style until the window is told that it changed.
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::RemoveSystemMenuItem(int position) {
  RemoveMenu(GetSystemMenu(window_, FALSE), static_cast<UINT>(position), MF_BYPOSITION);
}

void Win32MainWindow::MakeTopmost() {
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32MainWindow::Destroy() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

}  // namespace revivix::win32
