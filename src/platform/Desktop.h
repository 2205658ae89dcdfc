// The desktop's windows as the updater automation sees them: the top-level windows and the
// descendants of a window in the system's enumeration order, the text stored with a window (what
// GetWindowTextA gives for a window of another program), the process that owns a window, the
// messages the wizard sends (always with a time limit) or posts to the updater's windows, and the
// topmost placement.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "common/CodePage.h"

#include "platform/Processes.h"  // WindowHandle

namespace revivix {

// Window messages and placement values the automation uses.
inline constexpr std::uint32_t kWmGetText = 13;
inline constexpr std::uint32_t kWmGetTextLength = 14;
inline constexpr std::uint32_t kWmClose = 16;
inline constexpr std::uint32_t kBmClick = 245;
inline constexpr WindowHandle kHwndTopmost = static_cast<WindowHandle>(-1);
inline constexpr std::uint32_t kSwpNoSize = 1;
inline constexpr std::uint32_t kSwpNoMove = 2;
// SendMessageTimeoutA: give up at once on a program the system considers hung.
inline constexpr std::uint32_t kSmtoAbortIfHung = 2;

class Desktop {
 public:
  // An enumeration callback: window handle and the caller's value; 0 stops the enumeration.
  using WindowProc = std::function<int(WindowHandle window, std::intptr_t value)>;

  virtual ~Desktop() = default;

  // EnumWindows: every top-level window in enumeration order until `proc` returns 0.
  virtual void EnumWindows(const WindowProc& proc, std::intptr_t value) = 0;
  // EnumChildWindows: every descendant of `parent` (not only its direct children), in
  // enumeration order, until `proc` returns 0.
  virtual void EnumChildWindows(WindowHandle parent, const WindowProc& proc,
                                std::intptr_t value) = 0;
  // GetWindowTextA: copies at most maxCount - 1 bytes of the stored text and a NUL into
  // `buffer`; returns the number of bytes copied (0 for an unknown window).
  virtual int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) = 0;
  // The code page of the texts GetWindowTextA and WM_GETTEXT give: the system's ANSI code page.
  virtual const CodePage& AnsiCodePage() = 0;
  // SendMessageTimeoutA: the window handles the message before the call returns, and its result
  // is returned; no value when the window's program did not handle it within `timeoutMs` (or,
  // with kSmtoAbortIfHung, is hung). For WM_GETTEXT, wParam is the buffer size and lParam the
  // address of a byte buffer. A window that does not exist (0 included) gives 0.
  virtual std::optional<std::intptr_t> SendMessageTimeoutA(
      WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
      std::uint32_t flags, std::uint32_t timeoutMs) = 0;
  // PostMessageA: the message is queued for the window's program; the call does not wait.
  virtual bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
  // GetWindowThreadProcessId: the process that created the window; 0 for an unknown window.
  virtual ProcessId GetWindowThreadProcessId(WindowHandle window) = 0;
  virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                            int cy, std::uint32_t flags) = 0;
};

}  // namespace revivix
