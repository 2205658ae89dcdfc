#include "fakes/FakeEventLoop.h"

#include <algorithm>

namespace revivix::test {

void FakeEventLoop::Arm(Timer& timer) {
  Disarm(timer);
  armed_.push_back({&timer, now_ + timer.Interval(), nextOrder_++});
}

void FakeEventLoop::Disarm(Timer& timer) {
  std::erase_if(armed_, [&](const Armed& a) { return a.timer == &timer; });
}

bool FakeEventLoop::IsArmed(const Timer& timer) const {
  return std::any_of(armed_.begin(), armed_.end(),
                     [&](const Armed& a) { return a.timer == &timer; });
}

std::int64_t FakeEventLoop::Remaining(const Timer& timer) const {
  for (const auto& a : armed_)
    if (a.timer == &timer) return a.deadline - now_;
  return -1;
}

void FakeEventLoop::RunQueued() {
  while (!queued_.empty()) {
    auto event = std::move(queued_.front());
    queued_.pop_front();
    event();
  }
}

bool FakeEventLoop::FireNextDue(std::int64_t limit) {
  auto next = armed_.end();
  for (auto it = armed_.begin(); it != armed_.end(); ++it) {
    if (it->deadline > limit) continue;
    if (next == armed_.end() || it->deadline < next->deadline ||
        (it->deadline == next->deadline && it->order < next->order))
      next = it;
  }
  if (next == armed_.end()) return false;
  Timer* timer = next->timer;
  now_ = std::max(now_, next->deadline);
  next->deadline += timer->Interval();
  next->order = nextOrder_++;
  timer->Tick();
  return true;
}

void FakeEventLoop::DoEvents() {
  ++doEventsCalls;
  if (doEventsStepMs > 0) {
    Advance(doEventsStepMs);
    return;
  }
  RunQueued();
  // Each tick due now runs once; a handler that is still running drops its own tick.
  const std::int64_t limit = now_;
  std::vector<Timer*> due;
  for (const auto& a : armed_)
    if (a.deadline <= limit) due.push_back(a.timer);
  for (Timer* t : due) {
    for (auto& a : armed_) {
      if (a.timer == t && a.deadline <= limit) {
        a.deadline = now_ + t->Interval();
        t->Tick();
        break;
      }
    }
  }
}

void FakeEventLoop::Advance(std::int64_t ms) {
  const std::int64_t target = now_ + ms;
  RunQueued();
  while (FireNextDue(target)) RunQueued();
  now_ = std::max(now_, target);
}

}  // namespace revivix::test
