// The repair log's clock on Windows: the local time with its milliseconds (GetLocalTime) and
// the performance counter in milliseconds.
#pragma once

#include "platform/Clock.h"

namespace revivix::win32 {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  std::uint64_t Milliseconds() override;
};

}  // namespace revivix::win32
