// The user-interface thread's event loop: window timers, one round of pending events, a wait
// that sleeps until there is something to do, and the mouse pointer.
#pragma once

#include <cstdint>

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
  // One turn of a wait: sleeps until an event is pending or `signal` (a handle that work off the
  // user-interface thread signals when it completes; 0 for none) is signalled, or a short while
  // has passed, then runs the pending events as DoEvents does. A loop that cannot sleep just
  // runs them.
  virtual void WaitForEvents(std::uintptr_t signal) {
    static_cast<void>(signal);
    DoEvents();
  }
  virtual void SetMousePointer(MousePointer pointer) = 0;
};

}  // namespace revivix
