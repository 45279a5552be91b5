// Delay and the fade-in against a pump whose clock moves only when they sleep.

#include <gtest/gtest.h>

#include <algorithm>

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

// The window must not flash up opaque or take input before the fade begins: it is
// disabled, made layered and fully transparent, and only then shown; at the end the
// layered style goes before the window is enabled again.
TEST(FadeInTest, TheWindowIsShownOnlyOnceDisabledLayeredAndTransparent) {
  fakes::FakeForm1View window;
  fakes::FakeEventPump pump;
  FadeIn(window, pump);
  const std::vector<std::string>& done = window.fadeJournal;
  ASSERT_GE(done.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(done.begin(), done.begin() + 5),
            (std::vector<std::string>{"disable", "layered", "opacity 0", "show", "opacity 1"}));
  EXPECT_EQ(std::vector<std::string>(done.end() - 3, done.end()),
            (std::vector<std::string>{"opacity 253", "unlayered", "enable"}));
  EXPECT_EQ(std::count(done.begin(), done.end(), "show"), 1);
}

}  // namespace
}  // namespace zc
