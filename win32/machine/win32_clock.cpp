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

}  // namespace zc::win
