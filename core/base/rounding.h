#pragma once
// Rounding to the nearest whole number with halves going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), the rule every "rounded" value of the program uses.

#include <cmath>
#include <cstdint>

namespace zc {

inline int64_t RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  const double floor = std::floor(value);
  const double diff = value - floor;
  double result = floor;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) result = floor + 1.0;
  if (result >= 9.2e18) return INT64_MAX;
  if (result <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(result);
}

}  // namespace zc
