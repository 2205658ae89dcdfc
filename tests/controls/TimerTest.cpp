#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeEventLoop.h"

namespace revivix::test {
namespace {

TEST(VirtualClock, FiresDueTicksInDeadlineOrder) {
  FakeEventLoop loop;
  std::vector<std::string> log;
  Timer slow("slow", 50, true), fast("fast", 20, true), off("off", 10, false);
  for (Timer* t : {&slow, &fast, &off}) {
    t->OnTick = [&log, t, &loop] { log.push_back(t->Name() + "@" + std::to_string(loop.Now())); };
    t->Bind(&loop);
  }
  loop.Advance(100);
  EXPECT_EQ(log, (std::vector<std::string>{"fast@20", "fast@40", "slow@50", "fast@60", "fast@80",
                                           "slow@100", "fast@100"}));
  EXPECT_EQ(loop.Now(), 100);
}

TEST(VirtualClock, EnablingARunningTimerDoesNotRestartItsCount) {
  FakeEventLoop loop;
  Timer t("t", 1000, true);
  t.Bind(&loop);
  loop.Advance(600);
  t.SetEnabled(true);
  EXPECT_EQ(loop.Remaining(t), 400);
  t.SetEnabled(false);
  EXPECT_FALSE(loop.IsArmed(t));
  t.SetEnabled(true);
  EXPECT_EQ(loop.Remaining(t), 1000);
  t.SetInterval(0);
  EXPECT_FALSE(loop.IsArmed(t));
}

TEST(VirtualClock, HandlerIsNeverReenteredByItsOwnTick) {
  FakeEventLoop loop;
  Timer waiting("waiting", 20, true), other("other", 20, true);
  int waitingTicks = 0, otherTicks = 0, depth = 0, maxDepth = 0;
  waiting.OnTick = [&] {
    ++waitingTicks;
    maxDepth = std::max(maxDepth, ++depth);
    // A wait loop that lets pending events run, as the web-page waits do.
    for (int i = 0; i < 5; ++i) {
      loop.Advance(10);
      loop.DoEvents();
    }
    --depth;
  };
  other.OnTick = [&] { ++otherTicks; };
  waiting.Bind(&loop);
  other.Bind(&loop);
  loop.Advance(20);
  // The waiting handler's own ticks at 40 and 60 fell inside it and were dropped; the other
  // timer kept ticking at 20, 40 and 60.
  EXPECT_EQ(waitingTicks, 1);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(otherTicks, 3);
  EXPECT_EQ(loop.Now(), 70);
  loop.Advance(10);
  EXPECT_EQ(waitingTicks, 2);
}

TEST(VirtualClock, DoEventsRunsDueTicksAndQueuedClicksInsideAHandler) {
  FakeEventLoop loop;
  Timer busy("busy", 1000, true), detection("detection", 1000, true);
  std::vector<std::string> log;
  busy.OnTick = [&] {
    log.push_back("busy starts");
    loop.Queue([&] { log.push_back("click"); });
    loop.DoEvents();
    log.push_back("busy ends");
  };
  detection.OnTick = [&] { log.push_back("detection"); };
  busy.Bind(&loop);
  detection.Bind(&loop);
  loop.Advance(1000);
  EXPECT_EQ(log, (std::vector<std::string>{"busy starts", "click", "detection", "busy ends"}));
}

TEST(VirtualClock, TimerDisabledByAnotherHandlerDoesNotTick) {
  FakeEventLoop loop;
  Timer first("first", 100, true), second("second", 100, true);
  int secondTicks = 0;
  first.OnTick = [&] { second.SetEnabled(false); };
  second.OnTick = [&] { ++secondTicks; };
  first.Bind(&loop);
  second.Bind(&loop);
  loop.Advance(1000);
  EXPECT_EQ(secondTicks, 0);
}

}  // namespace
}  // namespace revivix::test
