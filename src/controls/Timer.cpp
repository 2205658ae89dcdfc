#include "controls/Timer.h"

#include <exception>
#include <utility>

#include "platform/EventLoop.h"

namespace revivix {

Timer::Timer(std::string name, int intervalMs, bool enabled)
    : name_(std::move(name)), interval_(intervalMs), enabled_(enabled) {}

Timer::~Timer() {
  if (loop_) loop_->Disarm(*this);
}

void Timer::Bind(EventLoop* loop) {
  if (loop_) loop_->Disarm(*this);
  loop_ = loop;
  Rearm();
}

void Timer::Rearm() {
  if (!loop_) return;
  if (enabled_ && interval_ > 0)
    loop_->Arm(*this);
  else
    loop_->Disarm(*this);
}

void Timer::SetInterval(int intervalMs) {
  interval_ = intervalMs;
  Rearm();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;  // enabling a running timer does not restart its count
  enabled_ = enabled;
  Rearm();
}

void Timer::Tick() {
  if (!enabled_ || inHandler_) return;
  inHandler_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{inHandler_};
  try {
    if (OnTick) OnTick();
  } catch (const std::exception&) {
    // A failing handler ends at its failing step; the window goes on with its next event.
  }
}

}  // namespace revivix
