#include "win32/app/program_icon.h"

#include <cmath>
#include <cstring>

namespace zc::win {
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

UniqueIcon CreateProgramIcon(int size) {
  const std::vector<uint32_t> pixels = ProgramIconPixels(size);
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;  // top-down rows
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  UniqueBitmap colour(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                       &bits, nullptr, 0));
  ReleaseDC(nullptr, screen);
  if (!colour || !bits) return UniqueIcon();
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));

  // The mask: set where the pixel is transparent (one bit a pixel, rows of whole words).
  const int stride = ((size + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(static_cast<size_t>(stride) * size, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if ((pixels[static_cast<size_t>(y) * size + x] >> 24) == 0)
        maskBits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, maskBits.data()));
  if (!mask) return UniqueIcon();

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = colour.get();
  return UniqueIcon(CreateIconIndirect(&info));
}

}  // namespace zc::win
