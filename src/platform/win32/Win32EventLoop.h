// The event loop of the user-interface thread on Win32: timers are window timers of a message
// window, DoEvents empties the thread's message queue once, WaitForEvents sleeps in
// MsgWaitForMultipleObjectsEx until a message or the given handle arrives (at most
// kWaitSafetyMs; once the quit is pending, only a sent message or the handle wakes it), and the
// mouse pointer is the one the windows show while the pointer is over
// them.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "platform/EventLoop.h"

namespace revivix::win32 {

class Win32EventLoop : public EventLoop {
 public:
  // The longest a wait sleeps without a message or its signal: a safety net for a signal that
  // never comes, short enough that the waiting code looks again without delay anyone notices.
  static constexpr DWORD kWaitSafetyMs = 200;

  Win32EventLoop();
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  void Arm(Timer& timer) override;
  void Disarm(Timer& timer) override;
  void DoEvents() override;
  void WaitForEvents(std::uintptr_t signal) override;
  void SetMousePointer(MousePointer pointer) override;

  MousePointer Pointer() const { return pointer_; }
  // The cursor for the current pointer, for the windows' WM_SETCURSOR.
  HCURSOR Cursor() const;
  bool IsArmed(const Timer& timer) const { return ids_.count(const_cast<Timer*>(&timer)) != 0; }
  // Sees every message DoEvents takes before it is dispatched; true when it handled it (the
  // keyboard of the main window, which works during a download as well).
  void SetMessageFilter(std::function<bool(MSG&)> filter) { filter_ = std::move(filter); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR id);

  HWND window_ = nullptr;
  std::map<Timer*, UINT_PTR> ids_;
  std::map<UINT_PTR, Timer*> timers_;
  UINT_PTR nextId_ = 1;
  MousePointer pointer_ = MousePointer::Default;
  std::function<bool(MSG&)> filter_;
  bool quitPending_ = false;  // DoEvents found the quit and left it for the outer loop
};

}  // namespace revivix::win32
