// The Win32 event loop: window timers tick the bound Timer, DoEvents runs pending events once
// without swallowing a quit request, and a handler that lets events run is not re-entered by its
// own tick.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/Timer.h"
#include "platform/win32/Win32EventLoop.h"

namespace revivix::win32 {
namespace {

// Runs the loop's events for `ms` milliseconds.
void Pump(Win32EventLoop& loop, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    loop.DoEvents();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

TEST(Win32EventLoop, AnEnabledTimerTicksAtItsInterval) {
  Win32EventLoop loop;
  Timer timer("T", 30, true);
  int ticks = 0;
  timer.OnTick = [&] { ++ticks; };
  timer.Bind(&loop);
  EXPECT_TRUE(loop.IsArmed(timer));
  Pump(loop, 300);
  // About ten ticks; a slow machine may deliver fewer, never more than the interval allows.
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, 11);
}

TEST(Win32EventLoop, ADisabledTimerStopsTicking) {
  Win32EventLoop loop;
  Timer timer("T", 20, true);
  int ticks = 0;
  timer.OnTick = [&] { ++ticks; };
  timer.Bind(&loop);
  Pump(loop, 120);
  ASSERT_GT(ticks, 0);
  timer.SetEnabled(false);
  EXPECT_FALSE(loop.IsArmed(timer));
  const int stopped = ticks;
  Pump(loop, 120);
  EXPECT_EQ(ticks, stopped);
}

TEST(Win32EventLoop, AHandlerThatLetsEventsRunIsNotReenteredByItsOwnTick) {
  Win32EventLoop loop;
  Timer own("Own", 30, true);
  Timer other("Other", 30, true);
  int depth = 0, deepest = 0, ownTicks = 0, otherTicksInside = 0;
  bool inside = false;
  own.OnTick = [&] {
    ++ownTicks;
    deepest = std::max(deepest, ++depth);
    inside = true;
    // A wait that lets pending events run for a while, as the page and download waits do.
    const ULONGLONG end = GetTickCount64() + 150;
    while (GetTickCount64() < end) {
      loop.DoEvents();
      Sleep(5);
    }
    inside = false;
    --depth;
  };
  other.OnTick = [&] {
    if (inside) ++otherTicksInside;
  };
  own.Bind(&loop);
  other.Bind(&loop);
  Pump(loop, 400);
  EXPECT_GE(ownTicks, 2);
  EXPECT_EQ(deepest, 1) << "the handler was re-entered by its own tick";
  EXPECT_GT(otherTicksInside, 0) << "other timers tick while the handler waits";
}

TEST(Win32EventLoop, DoEventsLeavesTheQuitRequestForTheOuterLoop) {
  Win32EventLoop loop;
  PostQuitMessage(7);
  loop.DoEvents();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(Win32EventLoop, AWaitSleepsUntilAMessageItsSignalOrTheSafetyNet) {
  Win32EventLoop loop;
  HANDLE signal = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const auto waitMs = [&] {
    const ULONGLONG start = GetTickCount64();
    loop.WaitForEvents(reinterpret_cast<std::uintptr_t>(signal));
    return GetTickCount64() - start;
  };
  // Nothing to do: it sleeps about the safety net, and uses (next to) no processor time.
  FILETIME created, ended, kernel0, user0, kernel1, user1;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel0, &user0);
  const ULONGLONG idle = waitMs();
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel1, &user1);
  EXPECT_GE(idle, Win32EventLoop::kWaitSafetyMs - 20);
  EXPECT_LT(idle, Win32EventLoop::kWaitSafetyMs + 1000);
  const auto ticks = [](const FILETIME& f) {
    return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  EXPECT_LT(ticks(kernel1) + ticks(user1) - ticks(kernel0) - ticks(user0), 500000u)  // 50 ms
      << "the wait spun";
  // A posted message ends it at once, and the wait runs it.
  PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
  EXPECT_LT(waitMs(), 150u);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
  // So does the signal.
  SetEvent(signal);
  EXPECT_LT(waitMs(), 150u);
  CloseHandle(signal);
}

TEST(Win32EventLoop, TheMousePointerBecomesTheHourglassAndBack) {
  Win32EventLoop loop;
  loop.SetMousePointer(MousePointer::Hourglass);
  EXPECT_EQ(loop.Pointer(), MousePointer::Hourglass);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  loop.SetMousePointer(MousePointer::Default);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
}  // namespace revivix::win32
