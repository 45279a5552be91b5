#pragma once
// The process token's elevation, the elevated restart and the hand-over, in memory.
// Elevated (without a split token) unless a test says otherwise; the restart can be
// declined (as the user declines the prompt) or fail with any error, and a hand-over
// ends as the test says.

#include <functional>
#include <vector>

#include "core/base/text.h"
#include "core/platform/elevation_api.h"

namespace zc::fakes {

class FakeElevation : public ElevationApi {
 public:
  bool elevated = true;
  // The full half of a split token. Setting it also makes the token elevated, as
  // Windows' full half always is.
  bool elevatedCopy = false;
  SystemError startAnswer = SystemError::None;
  std::vector<Text> starts;  // the arguments of every elevated start asked for
  HandOverResult handOverAnswer{HandOverOutcome::Ready, SystemError::None, 0};
  std::vector<Text> handOvers;       // the arguments of every hand-over asked for
  std::function<void()> whileWaiting;  // the window events let through during a hand-over
  int announcements = 0;

  bool IsElevated() override { return elevated || elevatedCopy; }
  bool IsElevatedCopy() override { return elevatedCopy; }
  SystemError StartElevated(TextView arguments) override {
    starts.emplace_back(arguments);
    return startAnswer;
  }
  HandOverResult HandOverToElevatedCopy(TextView arguments) override {
    handOvers.emplace_back(arguments);
    if (whileWaiting) whileWaiting();
    return handOverAnswer;
  }
  void AnnounceReady() override { ++announcements; }
};

}  // namespace zc::fakes
