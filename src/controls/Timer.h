// A window timer: ticks at its interval while enabled, on the user-interface thread. A tick that
// arrives while the timer's own handler is still running (because the handler lets pending
// events run) is dropped, so a handler is never re-entered by its own timer.
#pragma once

#include <functional>
#include <string>

namespace revivix {

class EventLoop;

class Timer {
 public:
  Timer(std::string name, int intervalMs, bool enabled);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Connects the timer to the loop that delivers its ticks; an enabled timer starts counting.
  void Bind(EventLoop* loop);

  const std::string& Name() const { return name_; }
  int Interval() const { return interval_; }
  void SetInterval(int intervalMs);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTick;

  // Called by the event loop when the interval has elapsed.
  void Tick();

 private:
  void Rearm();

  std::string name_;
  int interval_;
  bool enabled_;
  bool inHandler_ = false;
  EventLoop* loop_ = nullptr;
};

}  // namespace revivix
