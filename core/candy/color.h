#pragma once
// Colours of the candy button: 32-bit values laid out 0x00BBGGRR (red in the lowest
// byte). A value with the top bit set names a system colour, which only the platform
// can turn into red, green and blue (SystemColors).

#include <cstdint>

namespace zc::candy {

using Color = uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(Color c) { return (c & 0x80000000u) != 0; }

// The system colour the control's own background is cleared to (the button face).
inline constexpr Color kButtonFaceSystemColor = 0x8000000Fu;

// The platform's colour translation: plain colours pass through, system colours become
// the current plain colour of that system element.
class SystemColors {
 public:
  virtual ~SystemColors() = default;
  virtual Color Translate(Color color) = 0;
};

// Mixes two colours channel by channel: c1 + (c2 - c1) * percentage \ 100, the division
// truncating toward zero. `percentage` is clamped to 0..100 in the caller's variable too.
Color BlendColors(Color color1, Color color2, int& percentage);

// Same, for a percentage the caller does not keep.
Color Blend(Color color1, Color color2, int percentage);

// Translates `color` (system colours included) and returns its three channels, 0..255.
void GetRGB(int& red, int& green, int& blue, Color color, SystemColors& systemColors);

}  // namespace zc::candy
