// The desktop's windows on user32: EnumWindows and EnumChildWindows with the automation's
// callbacks, GetWindowTextA, SendMessageTimeoutA and PostMessageA, GetWindowThreadProcessId,
// and SetWindowPos (which never waits for another program's thread).
#pragma once

#include "platform/Desktop.h"

namespace revivix::win32 {

class Win32Desktop : public Desktop {
 public:
  void EnumWindows(const WindowProc& proc, std::intptr_t value) override;
  void EnumChildWindows(WindowHandle parent, const WindowProc& proc, std::intptr_t value) override;
  int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) override;
  std::optional<std::intptr_t> SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint32_t flags,
                                                   std::uint32_t timeoutMs) override;
  ProcessId GetWindowThreadProcessId(WindowHandle window) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
};

}  // namespace revivix::win32
