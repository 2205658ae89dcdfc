// A deterministic event loop on a virtual clock: Advance(ms) fires the due timer ticks in
// deadline order, DoEvents() runs what is due now, and queued clicks run in order. Nothing
// sleeps.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "controls/Timer.h"
#include "platform/EventLoop.h"

namespace revivix::test {

class FakeEventLoop : public EventLoop {
 public:
  void Arm(Timer& timer) override;
  void Disarm(Timer& timer) override;
  void DoEvents() override;
  void SetMousePointer(MousePointer pointer) override { mousePointer = pointer; }

  // Moves the clock forward, firing every tick that falls due on the way, in deadline order
  // (timers armed earlier first on equal deadlines). Queued events run first.
  void Advance(std::int64_t ms);
  // An event (a click, say) that runs at the next DoEvents or Advance.
  void Queue(std::function<void()> event) { queued_.push_back(std::move(event)); }

  std::int64_t Now() const { return now_; }
  bool IsArmed(const Timer& timer) const;
  // Milliseconds until the timer's next tick, or -1 when it is not armed.
  std::int64_t Remaining(const Timer& timer) const;

  MousePointer mousePointer = MousePointer::Default;
  int doEventsCalls = 0;
  // Virtual milliseconds that pass with each DoEvents (0: none). A wait that loops around
  // DoEvents, such as the wait for a web page, then lets the clock run and the timers tick.
  std::int64_t doEventsStepMs = 0;

 private:
  struct Armed {
    Timer* timer;
    std::int64_t deadline;
    std::uint64_t order;
  };
  void RunQueued();
  // Fires the earliest armed tick due at or before `limit`; false when none is due.
  bool FireNextDue(std::int64_t limit);

  std::vector<Armed> armed_;
  std::deque<std::function<void()>> queued_;
  std::int64_t now_ = 0;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace revivix::test
