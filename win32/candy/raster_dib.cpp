#include "win32/candy/raster_dib.h"

namespace zc::win {
namespace {

uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu); }

}  // namespace

std::vector<uint32_t> ToDibPixels(const candy::Raster& raster) {
  std::vector<uint32_t> pixels(raster.Pixels().size());
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = SwapRedBlue(raster.Pixels()[i]);
  return pixels;
}

BITMAPINFO DibHeader(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

RasterDib::RasterDib(const candy::Raster& raster) : width_(raster.Width()), height_(raster.Height()) {
  if (raster.Empty()) return;
  dc_.reset(::CreateCompatibleDC(nullptr));
  if (!dc_) return;
  const BITMAPINFO info = DibHeader(width_, height_);
  void* bits = nullptr;
  bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || bits == nullptr) return;
  previous_ = ::SelectObject(dc_.get(), bitmap_.get());
  bits_ = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < raster.Pixels().size(); ++i) bits_[i] = SwapRedBlue(raster.Pixels()[i]);
}

RasterDib::~RasterDib() {
  if (previous_ != nullptr) ::SelectObject(dc_.get(), previous_);
}

void RasterDib::StoreInto(candy::Raster& raster) const {
  if (bits_ == nullptr || raster.Width() != width_ || raster.Height() != height_) return;
  ::GdiFlush();
  auto& pixels = raster.Pixels();
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = SwapRedBlue(bits_[i]) & 0x00FFFFFFu;
}

}  // namespace zc::win
