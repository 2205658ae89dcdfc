// The desktop's windows on user32: EnumWindows and EnumChildWindows with the automation's
// callbacks, GetWindowTextA, SendMessageA and PostMessageA, and SetWindowPos.
#pragma once

#include <optional>

#include "platform/Desktop.h"

namespace revivix::win32 {

class Win32Desktop : public Desktop {
 public:
  void EnumWindows(const WindowProc& proc, std::intptr_t value) override;
  void EnumChildWindows(WindowHandle parent, const WindowProc& proc, std::intptr_t value) override;
  int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) override;
  // Read from the system once, on first use.
  const CodePage& AnsiCodePage() override;
  std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;

 private:
  std::optional<CodePage> ansi_;
};

}  // namespace revivix::win32
