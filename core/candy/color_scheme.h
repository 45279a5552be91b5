#pragma once
// The six preset colour schemes. Scheme 0 means the user's own colours; any other number
// matches no preset.

#include <optional>

#include "core/candy/color.h"

namespace zc::candy {

struct SchemeColors {
  Color up;
  Color hover;
  Color down;
  Color bright;
};

// The colours of preset `scheme` (1..6), or nothing.
std::optional<SchemeColors> PresetScheme(int scheme);

}  // namespace zc::candy
