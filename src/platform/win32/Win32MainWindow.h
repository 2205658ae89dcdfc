// The main window's frame style, system menu, topmost place and end, on its HWND.
#pragma once

#include <windows.h>

#include "platform/MainWindow.h"

namespace revivix::win32 {

class Win32MainWindow : public MainWindow {
 public:
  // The window is created after the ports; it is attached once it exists.
  void Attach(HWND window) { window_ = window; }
  HWND Handle() const { return window_; }

  std::uint32_t GetStyle() override;
  void SetStyle(std::uint32_t style) override;
  void RemoveSystemMenuItem(int position) override;
  void MakeTopmost() override;
  void Destroy() override;

 private:
  HWND window_ = nullptr;
};

}  // namespace revivix::win32
