#pragma once
// The local time from the system clock.

#include "core/platform/clock_api.h"

namespace zc::win {

class Win32Clock : public ClockApi {
 public:
  Text LocalTimeText() override;
};

}  // namespace zc::win
