#pragma once
// The local time, for the treatment record's entries; the universal time, for the
// definitions set's expiry.

#include <cstdint>

#include "core/base/text.h"

namespace zc {

class ClockApi {
 public:
  virtual ~ClockApi() = default;

  // "YYYY-MM-DD HH:MM:SS" in local time.
  virtual Text LocalTimeText() = 0;
  // Seconds since 1970-01-01 00:00:00 UTC.
  virtual int64_t UnixSeconds() = 0;
};

}  // namespace zc
