// The user-interface thread's event loop: window timers, one round of pending events, and the
// mouse pointer.
#pragma once

namespace revivix {

class Timer;

enum class MousePointer { Default, Hourglass };

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Starts counting a whole interval of `timer` from now; an armed timer is re-armed.
  virtual void Arm(Timer& timer) = 0;
  virtual void Disarm(Timer& timer) = 0;
  // Runs the events that are pending now (due timer ticks, clicks, paints) and returns.
  virtual void DoEvents() = 0;
  virtual void SetMousePointer(MousePointer pointer) = 0;
};

}  // namespace revivix
