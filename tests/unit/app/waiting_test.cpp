// Delay and the fade-in against a pump whose clock moves only when they sleep.

#include <gtest/gtest.h>

#include "core/app/event_pump.h"
#include "core/app/fade_in.h"
#include "fake_form1_view.h"

namespace zc {
namespace {

TEST(DelayTest, RoundsHalfToEvenAndProcessesEventsBeforeEachSecond) {
  const struct {
    float seconds;
    size_t sleeps;
  } cases[] = {{0.4f, 0}, {0.5f, 0}, {-3.f, 0}, {1.5f, 2}, {2.5f, 2}, {3.f, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    fakes::FakeEventPump pump;
    Delay(c.seconds, pump);
    EXPECT_EQ(pump.sleeps, std::vector<uint32_t>(c.sleeps, 1000u));
    std::vector<char> expected;
    for (size_t i = 0; i < c.sleeps; ++i) expected.insert(expected.end(), {'e', 's'});
    EXPECT_EQ(pump.calls, expected);
  }
}

TEST(FadeInTest, ThirtySevenStepsOfAtLeastSixMillisecondsEndingOpaqueAndEnabled) {
  fakes::FakeForm1View window;
  fakes::FakeEventPump pump;
  std::vector<uint64_t> stepTimes;
  size_t seen = 0;
  bool disabledDuringFade = true;
  pump.onEvents = [&] {
    if (window.opacities.size() != seen) {
      seen = window.opacities.size();
      stepTimes.push_back(pump.now);
    }
    if (window.windowEnabled) disabledDuringFade = false;
  };
  FadeIn(window, pump);

  ASSERT_EQ(window.opacities.size(), 38u);
  EXPECT_EQ(window.opacities.front(), 0);
  for (size_t i = 1; i < window.opacities.size(); ++i)
    EXPECT_EQ(window.opacities[i], 1 + 7 * static_cast<int>(i - 1));
  EXPECT_EQ(window.opacities.back(), 253);
  for (size_t i = 1; i < stepTimes.size(); ++i) EXPECT_GE(stepTimes[i] - stepTimes[i - 1], 6u);
  EXPECT_TRUE(disabledDuringFade);
  EXPECT_FALSE(window.layered);
  EXPECT_TRUE(window.windowEnabled);
  EXPECT_TRUE(window.windowVisible);
  EXPECT_EQ(window.journal, (std::vector<std::string>{"fade-begin", "fade-end"}));
}

}  // namespace
}  // namespace zc
