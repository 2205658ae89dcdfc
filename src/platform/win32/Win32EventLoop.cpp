#include "platform/win32/Win32EventLoop.h"

#include "controls/Timer.h"

namespace revivix::win32 {

namespace {
constexpr wchar_t kClassName[] = L"RevivixTimers";
}

Win32EventLoop::Win32EventLoop() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // a later loop finds the class registered already
  // The ticks arrive at a message-only window, which is never shown.
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop() {
  for (const auto& [id, timer] : timers_) KillTimer(window_, id);
  DestroyWindow(window_);
}

LRESULT CALLBACK Win32EventLoop::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    auto* self = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) self->OnTimer(static_cast<UINT_PTR>(wParam));
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32EventLoop::OnTimer(UINT_PTR id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) return;  // a tick that was already queued when the timer stopped
  it->second->Tick();
}

void Win32EventLoop::Arm(Timer& timer) {
  auto it = ids_.find(&timer);
  if (it == ids_.end()) {
    it = ids_.emplace(&timer, nextId_++).first;
    timers_[it->second] = &timer;
  }
  // Setting an existing timer again restarts its count, as re-arming requires.
  SetTimer(window_, it->second, static_cast<UINT>(timer.Interval()), nullptr);
}

void Win32EventLoop::Disarm(Timer& timer) {
  const auto it = ids_.find(&timer);
  if (it == ids_.end()) return;
  KillTimer(window_, it->second);
  timers_.erase(it->second);
  ids_.erase(it);
}

void Win32EventLoop::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The quit belongs to the outer message loop: leave it in the queue for that loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      quitPending_ = true;
      return;
    }
    if (filter_ && filter_(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32EventLoop::WaitForEvents(std::uintptr_t signal) {
  HANDLE handle = reinterpret_cast<HANDLE>(signal);
  if (quitPending_) {
    // Still pending unless the outer loop has taken it meanwhile.
    MSG quit;
    quitPending_ = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
  }
  if (quitPending_) {
    // The wizard has quit and the quit waits in the queue for the outer loop: it would end every
    // sleep at once. Only the signal and messages sent by other threads and programs (which
    // must still be answered) end this one.
    const DWORD woke = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr,
                                                   kWaitSafetyMs, QS_SENDMESSAGE, 0);
    if (woke == (handle ? WAIT_OBJECT_0 + 1 : WAIT_OBJECT_0)) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return;
  }
  // Any queued input, also input an earlier PeekMessage has already seen, ends the sleep.
  MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr, kWaitSafetyMs,
                              QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DoEvents();
}

HCURSOR Win32EventLoop::Cursor() const {
  return LoadCursorW(nullptr, pointer_ == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW);
}

void Win32EventLoop::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  SetCursor(Cursor());
}

}  // namespace revivix::win32
