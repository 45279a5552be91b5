#pragma once
// The process token's elevation and the elevated restart, in memory. Elevated unless a
// test says otherwise; the restart can be declined (as the user declines the prompt)
// or fail with any error.

#include <vector>

#include "core/base/text.h"
#include "core/platform/elevation_api.h"

namespace zc::fakes {

class FakeElevation : public ElevationApi {
 public:
  bool elevated = true;
  SystemError startAnswer = SystemError::None;
  std::vector<Text> starts;  // the arguments of every elevated start asked for

  bool IsElevated() override { return elevated; }
  SystemError StartElevated(TextView arguments) override {
    starts.emplace_back(arguments);
    return startAnswer;
  }
};

}  // namespace zc::fakes
