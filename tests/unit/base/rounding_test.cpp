#include "core/base/rounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace zc {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const struct {
    double value;
    int64_t expected;
  } cases[] = {{0.4, 0}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {64.5, 64}, {24.5, 24},
               {2.6, 3}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {-2.6, -3}, {7.0, 7}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
}

TEST(RoundHalfEven, NonFiniteAndHugeValuesStayDefined) {
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(RoundHalfEven(1e300), INT64_MAX);
  EXPECT_EQ(RoundHalfEven(-1e300), INT64_MIN);
}

}  // namespace
}  // namespace zc
