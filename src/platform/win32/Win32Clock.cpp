#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace revivix::win32 {

LocalTime Win32Clock::Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::uint64_t Win32Clock::Milliseconds() {
  // The performance counter exists on every supported Windows (the 64-bit tick count does not
  // before 6.0) and does not wrap.
  LARGE_INTEGER count{}, frequency{};
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
      !QueryPerformanceCounter(&count))
    return GetTickCount();
  const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
  const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace revivix::win32
