#include "core/candy/color_scheme.h"

namespace zc::candy {

std::optional<SchemeColors> PresetScheme(int scheme) {
  static constexpr SchemeColors kPresets[] = {
      {Rgb(32, 103, 208), Rgb(80, 153, 233), Rgb(16, 103, 160), Rgb(176, 237, 255)},
      {Rgb(96, 144, 208), Rgb(0, 96, 224), Rgb(80, 128, 169), Rgb(250, 250, 255)},
      {Rgb(0, 0, 128), Rgb(0, 0, 160), Rgb(0, 0, 240), Rgb(0, 0, 255)},
      {Rgb(128, 0, 0), Rgb(160, 0, 0), Rgb(240, 0, 0), Rgb(255, 0, 0)},
      {Rgb(0, 128, 0), Rgb(0, 160, 0), Rgb(0, 192, 0), Rgb(0, 255, 0)},
      {Rgb(128, 128, 0), Rgb(160, 160, 0), Rgb(192, 192, 0), Rgb(255, 255, 0)},
  };
  if (scheme < 1 || scheme > 6) return std::nullopt;
  return kPresets[scheme - 1];
}

}  // namespace zc::candy
