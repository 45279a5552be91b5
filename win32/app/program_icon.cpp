#include "win32/app/program_icon.h"

#include <cstring>

namespace zc::win {

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
