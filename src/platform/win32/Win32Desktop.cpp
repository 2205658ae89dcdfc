#include "platform/win32/Win32Desktop.h"

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "platform/win32/DetachedThread.h"
#include "platform/win32/SentMessageWait.h"
#include "platform/win32/Win32CodePage.h"

namespace revivix::win32 {

// One send, shared by the wizard's thread and the sender: whichever is done last frees it.
struct Win32Desktop::Send {
  Send() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Send() {
    if (done) CloseHandle(done);
  }
  Send(const Send&) = delete;
  Send& operator=(const Send&) = delete;

  HWND window = nullptr;
  DWORD thread = 0;  // the thread that owns the window
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT flags = 0;
  UINT timeoutMs = 0;
  std::vector<char> text;  // WM_GETTEXT's buffer
  bool answered = false;
  bool windowGone = false;
  LRESULT result = 0;
  HANDLE done;  // set by the sender once the call has returned
};

// A thread that makes one send after another.
class Win32Desktop::Sender {
 public:
  Sender() : state_(std::make_shared<State>()) {
    std::shared_ptr<State> state = state_;
    if (!StartDetachedThread([state] { Run(state); }))
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                              "no thread for the sender");
  }
  ~Sender() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stop = true;
    state_->wake.notify_one();
  }
  Sender(const Sender&) = delete;
  Sender& operator=(const Sender&) = delete;

  void Submit(std::shared_ptr<Send> send) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->next = std::move(send);
    state_->wake.notify_one();
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable wake;
    std::shared_ptr<Send> next;
    bool stop = false;
  };

  static void Run(std::shared_ptr<State> state) {
    for (;;) {
      std::shared_ptr<Send> send;
      {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->wake.wait(lock, [&] { return state->stop || state->next; });
        // A send handed over is always made, also by a thread that starts after the wizard gave
        // up waiting for it: its window's thread counts as busy only until the send is done.
        if (!state->next) return;
        send = std::move(state->next);
      }
      DWORD_PTR result = 0;
      const LPARAM lParam =
          send->message == WM_GETTEXT ? reinterpret_cast<LPARAM>(send->text.data()) : send->lParam;
      send->answered = ::SendMessageTimeoutA(send->window, send->message, send->wParam, lParam,
                                             send->flags, send->timeoutMs, &result) != 0;
      send->result = static_cast<LRESULT>(result);
      send->windowGone = !send->answered && !::IsWindow(send->window);
      SetEvent(send->done);
    }
  }

  std::shared_ptr<State> state_;
};

namespace {

struct Enumeration {
  const Desktop::WindowProc* proc;
  std::intptr_t value;
};

BOOL CALLBACK Forward(HWND window, LPARAM lParam) {
  const auto* e = reinterpret_cast<const Enumeration*>(lParam);
  return (*e->proc)(reinterpret_cast<WindowHandle>(window), e->value) != 0 ? TRUE : FALSE;
}

HWND Hwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

}  // namespace

void Win32Desktop::EnumWindows(const WindowProc& proc, std::intptr_t value) {
  Enumeration e{&proc, value};
  ::EnumWindows(&Forward, reinterpret_cast<LPARAM>(&e));
}

void Win32Desktop::EnumChildWindows(WindowHandle parent, const WindowProc& proc,
                                    std::intptr_t value) {
  // A parent of 0 would list the top-level windows instead: the automation never asks that.
  if (parent == 0) return;
  Enumeration e{&proc, value};
  ::EnumChildWindows(Hwnd(parent), &Forward, reinterpret_cast<LPARAM>(&e));
}

int Win32Desktop::GetWindowTextA(WindowHandle window, char* buffer, int maxCount) {
  return ::GetWindowTextA(Hwnd(window), buffer, maxCount);
}

const CodePage& Win32Desktop::AnsiCodePage() {
  if (!ansi_) ansi_ = LoadCodePage(CP_ACP);
  return *ansi_;
}

Win32Desktop::Win32Desktop() = default;
Win32Desktop::~Win32Desktop() = default;

std::optional<std::intptr_t> Win32Desktop::SendMessageTimeoutA(
    WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
    std::uint32_t flags, std::uint32_t timeoutMs) {
  // A handle of 0 reaches no window (and must not become a broadcast).
  if (window == 0) return 0;
  HWND hwnd = Hwnd(window);
  const DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
  if (thread == 0) return 0;  // a window that has gone answers nothing, as a send to it does

  // A thread still stuck in an earlier send of ours does not answer this one either.
  stuck_.erase(std::remove_if(stuck_.begin(), stuck_.end(),
                              [](const std::shared_ptr<Send>& s) {
                                return WaitForSingleObject(s->done, 0) == WAIT_OBJECT_0;
                              }),
               stuck_.end());
  for (const auto& s : stuck_)
    if (s->thread == thread) return std::nullopt;

  auto send = std::make_shared<Send>();
  if (!send->done) return std::nullopt;
  send->window = hwnd;
  send->thread = thread;
  send->message = message;
  send->wParam = wParam;
  send->lParam = lParam;
  send->flags = flags;
  send->timeoutMs = timeoutMs;
  if (message == WM_GETTEXT) send->text.assign(wParam, '\0');
  if (!sender_) sender_ = std::make_unique<Sender>();
  sender_->Submit(send);
  if (!WaitAnsweringSends(send->done, timeoutMs + kSendGraceMs)) {
    // The sender is stuck inside the call: it is left to finish on its own.
    stuck_.push_back(send);
    sender_.reset();
    return std::nullopt;
  }
  if (!send->answered) {
    // A window that went away meanwhile answers nothing; one that is still there did not answer
    // in time.
    if (send->windowGone) return 0;
    return std::nullopt;
  }
  if (message == WM_GETTEXT && wParam > 0)
    std::copy(send->text.begin(), send->text.end(), reinterpret_cast<char*>(lParam));
  return static_cast<std::intptr_t>(send->result);
}

ProcessId Win32Desktop::GetWindowThreadProcessId(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || ::GetWindowThreadProcessId(Hwnd(window), &process) == 0) return 0;
  return process;
}

bool Win32Desktop::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  // Posting to 0 would queue the message for the wizard's own thread: it reaches no window.
  if (window == 0) return false;
  return ::PostMessageA(Hwnd(window), message, wParam, lParam) != FALSE;
}

bool Win32Desktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                                int cy, std::uint32_t flags) {
  // Placing another thread's window is a request to that thread: asynchronous, so that a hung
  // updater cannot hold the wizard inside the call.
  return ::SetWindowPos(Hwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy,
                        flags | SWP_ASYNCWINDOWPOS) != FALSE;
}

}  // namespace revivix::win32
