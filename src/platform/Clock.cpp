#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace revivix {

LocalTime StdClock::Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  LocalTime t;
  // std::localtime's result is shared by the process; it is copied at once on this one thread.
  if (const std::tm* local = std::localtime(&seconds)) {
    t.year = local->tm_year + 1900;
    t.month = local->tm_mon + 1;
    t.day = local->tm_mday;
    t.hour = local->tm_hour;
    t.minute = local->tm_min;
    t.second = local->tm_sec;
  }
  t.millisecond = static_cast<int>(ms.count());
  return t;
}

std::uint64_t StdClock::Milliseconds() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace revivix
