#pragma once
// The local time from the system clock.

#include "core/platform/clock_api.h"

namespace zc::win {

class Win32Clock : public ClockApi {
 public:
  Text LocalTimeText() override;
  int64_t UnixSeconds() override;
};

}  // namespace zc::win
