#pragma once
// A clock that tells the time it is set to.

#include "core/platform/clock_api.h"

namespace zc::fakes {

class FakeClock : public ClockApi {
 public:
  Text now = u"2026-12-10 09:00:00";
  Text LocalTimeText() override { return now; }
  int64_t unixSeconds = 1796893200;  // 2026-12-10 09:00:00 UTC
  int64_t UnixSeconds() override { return unixSeconds; }
};

}  // namespace zc::fakes
