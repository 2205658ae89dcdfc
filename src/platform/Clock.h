// The time of day and a running count of milliseconds: the repair log's stamps and the
// durations it gives of fetches and downloads.
#pragma once

#include <cstdint>

namespace revivix {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The local date and time, to the millisecond.
  virtual LocalTime Now() = 0;
  // Milliseconds since some fixed moment, never going back.
  virtual std::uint64_t Milliseconds() = 0;
};

// The clock through the standard library (the local time of the C library); the Win32 program
// has its own.
class StdClock : public Clock {
 public:
  LocalTime Now() override;
  std::uint64_t Milliseconds() override;
};

}  // namespace revivix
