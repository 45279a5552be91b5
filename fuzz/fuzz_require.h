#pragma once
// A property every fuzz target checks: a broken one ends the run as a finding.

#include <cstdlib>

namespace zc::fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace zc::fuzz
