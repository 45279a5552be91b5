#include "win32/machine/win32_clock.h"

#include <windows.h>

#include <cstdio>

namespace zc::win {

Text Win32Clock::LocalTimeText() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return FromAscii(text);
}

int64_t Win32Clock::UnixSeconds() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600;
  return static_cast<int64_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
}

}  // namespace zc::win
