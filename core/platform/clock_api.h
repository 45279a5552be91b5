#pragma once
// The local time, for the treatment record's entries.

#include "core/base/text.h"

namespace zc {

class ClockApi {
 public:
  virtual ~ClockApi() = default;

  // "YYYY-MM-DD HH:MM:SS" in local time.
  virtual Text LocalTimeText() = 0;
};

}  // namespace zc
