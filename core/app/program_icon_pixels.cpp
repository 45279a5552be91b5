#include "core/app/program_icon_pixels.h"

#include <cmath>

namespace zc {
namespace {

constexpr uint32_t kRim = 0xFFFFFFFF;
constexpr uint32_t kBadgeDark = 0xFF0E6B2A;
constexpr uint32_t kBadgeLight = 0xFF35C25A;
constexpr uint32_t kCross = 0xFFFFFFFF;

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  auto channel = [&](int shift) {
    const double x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<uint32_t>(x + 0.5) << shift;
  };
  return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

}  // namespace

std::vector<uint32_t> ProgramIconPixels(int size) {
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0);
  const double centre = (size - 1) / 2.0;
  const double radius = size / 2.0 - 0.5;
  const double rim = size >= 32 ? 2.0 : 1.0;
  const int armHalf = size / 8;
  const int armLength = size * 5 / 16;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      const double distance = std::sqrt(dx * dx + dy * dy);
      uint32_t colour = 0;
      if (distance <= radius - rim) {
        colour = Mix(kBadgeLight, kBadgeDark, (dy + radius) / (2 * radius));
        const bool across = std::abs(dy) <= armHalf && std::abs(dx) <= armLength;
        const bool down = std::abs(dx) <= armHalf && std::abs(dy) <= armLength;
        if (across || down) colour = kCross;
      } else if (distance <= radius) {
        colour = kRim;
      }
      pixels[static_cast<size_t>(y) * size + x] = colour;
    }
  }
  return pixels;
}

}  // namespace zc
