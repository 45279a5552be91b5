#include "core/candy/color.h"

#include <algorithm>

namespace zc::candy {

Color BlendColors(Color color1, Color color2, int& percentage) {
  percentage = std::clamp(percentage, 0, 100);
  const auto mix = [&](int a, int b) { return a + (b - a) * percentage / 100; };
  return Rgb(mix(RedOf(color1), RedOf(color2)), mix(GreenOf(color1), GreenOf(color2)),
             mix(BlueOf(color1), BlueOf(color2)));
}

Color Blend(Color color1, Color color2, int percentage) {
  return BlendColors(color1, color2, percentage);
}

void GetRGB(int& red, int& green, int& blue, Color color, SystemColors& systemColors) {
  const Color plain = systemColors.Translate(color);
  red = RedOf(plain);
  green = GreenOf(plain);
  blue = BlueOf(plain);
}

}  // namespace zc::candy
