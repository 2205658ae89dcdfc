// The desktop's windows on user32: EnumWindows and EnumChildWindows with the automation's
// callbacks, GetWindowTextA, SendMessageTimeoutA and PostMessageA, GetWindowThreadProcessId,
// and SetWindowPos (which never waits for another program's thread).
//
// A send is made by a sender thread of our own while the wizard's thread waits for it (answering
// messages sent to its own windows meanwhile) at most the send's time limit and a short grace:
// the limit holds even where the system's own time limit does not (under Wine, a second send to a
// thread that is stuck inside an earlier message never returns). A sender that does not come back
// is left to finish on its own; while it is stuck, further sends to that thread's windows fail at
// once, so a hung updater costs one waiting thread, not one per send. The text of WM_GETTEXT is
// received into a buffer the send owns and copied out only when the answer came in time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Desktop.h"

namespace revivix::win32 {

class Win32Desktop : public Desktop {
 public:
  // What a send waits beyond its own time limit before the wizard gives up on the sender.
  static constexpr std::uint32_t kSendGraceMs = 500;

  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  void EnumWindows(const WindowProc& proc, std::intptr_t value) override;
  void EnumChildWindows(WindowHandle parent, const WindowProc& proc, std::intptr_t value) override;
  int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) override;
  // Read from the system once, on first use.
  const CodePage& AnsiCodePage() override;
  std::optional<std::intptr_t> SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint32_t flags,
                                                   std::uint32_t timeoutMs) override;
  ProcessId GetWindowThreadProcessId(WindowHandle window) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;

  struct Send;
  class Sender;

 private:
  std::unique_ptr<Sender> sender_;
  // Sends given up on whose sender is still inside the call, with the thread they went to.
  std::vector<std::shared_ptr<Send>> stuck_;
  std::optional<CodePage> ansi_;
};

}  // namespace revivix::win32
