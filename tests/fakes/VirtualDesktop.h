// A virtual desktop for native tests: top-level windows and their child controls, scripted by
// the test, on the fake event loop's virtual clock. Each window keeps a stored text (what
// GetWindowTextA gives another program) and a live text (what the window answers to
// WM_GETTEXT) separately, as an edit box or a control class of the updater's own does. Each
// top-level window belongs to a program (a process id; its controls belong to the same one). Sent
// messages are handled before the call returns; posted ones when the loop next runs its queued
// events. A program can be made to hang: sends to its windows then time out and posted messages
// wait until it answers again; a send that timed out was still delivered, so one without a buffer
// (a click, a close) is handled once the program answers again, as the posted ones are. Every
// message the wizard sends or posts, and every one a window handles, is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/Timer.h"
#include "fakes/FakeEventLoop.h"
#include "platform/Desktop.h"

namespace revivix::test {

class VirtualDesktop : public Desktop {
 public:
  explicit VirtualDesktop(FakeEventLoop& loop) : loop_(loop) {}

  // ---- The port ----
  void EnumWindows(const WindowProc& proc, std::intptr_t value) override;
  void EnumChildWindows(WindowHandle parent, const WindowProc& proc, std::intptr_t value) override;
  int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) override;
  const CodePage& AnsiCodePage() override { return codePage; }
  std::optional<std::intptr_t> SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint32_t flags,
                                                   std::uint32_t timeoutMs) override;
  ProcessId GetWindowThreadProcessId(WindowHandle window) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;

  // ---- Scripting ----
  // The code page the ANSI texts are given in; a character it lacks comes out as "?".
  CodePage codePage = CodePage::Windows1252();
  // The program the scripted updaters' windows belong to unless a test says otherwise.
  static constexpr ProcessId kUpdaterProcess = 7100;

  // A top-level window of `process`, last in the enumeration order.
  WindowHandle AddWindow(const std::wstring& title, ProcessId process = kUpdaterProcess);
  // A control inside `parent`, after its earlier controls; stored and live text are `text`.
  WindowHandle AddControl(WindowHandle parent, const std::wstring& text);
  // A control that keeps its own text: GetWindowTextA gives `stored`, WM_GETTEXT gives `live`.
  WindowHandle AddOwnTextControl(WindowHandle parent, const std::wstring& stored,
                                 const std::wstring& live);
  // WM_SETTEXT on a static or a button: stored and live text change together.
  void SetText(WindowHandle window, const std::wstring& text);
  // Only what the control answers to WM_GETTEXT changes.
  void SetLiveText(WindowHandle window, const std::wstring& text);
  // A control that answers WM_GETTEXTLENGTH with a length of its own choosing.
  void ClaimLength(WindowHandle window, std::intptr_t length);
  // What the window does when it handles BM_CLICK (nothing by default) and WM_CLOSE (it is
  // destroyed by default).
  void OnClick(WindowHandle window, std::function<void()> action);
  void OnClose(WindowHandle window, std::function<void()> action);
  // Removes the window with all its controls; messages still queued for it are lost.
  void Destroy(WindowHandle window);
  // The program stops answering (true) or answers again (false): while it hangs, every send to one
  // of its windows times out and posted messages are held; answering again delivers them.
  void Hang(ProcessId process, bool hung = true);
  // Runs `action` `ms` virtual milliseconds from now.
  void After(int ms, std::function<void()> action);

  bool Exists(WindowHandle window) const { return windows_.count(window) != 0; }
  bool IsTopmost(WindowHandle window) const;
  std::wstring LiveText(WindowHandle window) const;

  // ---- Records ----
  struct Message {
    WindowHandle window;
    std::uint32_t message;
    bool posted;
    std::int64_t at;  // virtual time
  };
  // BM_CLICK and WM_CLOSE as the wizard sent or posted them (also to handle 0), in call order.
  std::vector<Message> requests;
  // BM_CLICK and WM_CLOSE as windows handled them, in handling order.
  std::vector<Message> handled;
  // Every SetWindowPos call: the window and the insert-after value.
  std::vector<std::pair<WindowHandle, WindowHandle>> placements;
  // Every send: its flags and time limit, and whether it timed out.
  struct Send {
    std::uint32_t message;
    std::uint32_t flags;
    std::uint32_t timeoutMs;
    bool timedOut;
  };
  std::vector<Send> sends;
  int topLevelEnumerations = 0;
  int childEnumerations = 0;

  // Requests of one kind to one window: posted (true) or sent (false).
  int Requests(WindowHandle window, std::uint32_t message, bool posted) const;
  int Handled(WindowHandle window, std::uint32_t message) const;

 private:
  struct Window {
    WindowHandle parent = 0;
    ProcessId process = 0;
    std::wstring stored;
    std::wstring live;
    std::optional<std::intptr_t> claimedLength;
    std::function<void()> onClick;
    std::function<void()> onClose;
    std::vector<WindowHandle> children;
    bool topmost = false;
  };
  WindowHandle NewWindow(WindowHandle parent, const std::wstring& stored, const std::wstring& live,
                         ProcessId process);
  bool Hung(WindowHandle window) const;
  std::intptr_t Handle(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam, bool posted);
  void Descendants(WindowHandle parent, std::vector<WindowHandle>& out) const;

  FakeEventLoop& loop_;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> topLevel_;
  WindowHandle next_ = 0x10010;
  std::vector<std::unique_ptr<Timer>> scheduled_;
  std::vector<ProcessId> hung_;
  struct Held {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::vector<Held> held_;
};

}  // namespace revivix::test
