#include "core/definitions/definitions_set.h"

#include <algorithm>

namespace zc {

size_t PatternEntryCount(const std::vector<Text>& patterns) {
  if (patterns.size() < 2) return 0;
  return std::min(patterns.size() - 2, kPatternTableSlots);
}

}  // namespace zc
