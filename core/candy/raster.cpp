#include "core/candy/raster.h"

#include <algorithm>
#include <cmath>

namespace zc::candy {

Raster::Raster(int width, int height, Color fill) { Reset(width, height, fill); }

void Raster::Reset(int width, int height, Color fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * height_, fill);
}

void Raster::Clear(Color fill) { std::fill(pixels_.begin(), pixels_.end(), fill); }

void Raster::SetPixel(int x, int y, Color color) {
  if (Contains(x, y)) pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
}

void Raster::HorizontalLine(int x0, int x1, int y, Color color) {
  if (y < 0 || y >= height_) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, width_);
  if (x0 >= x1) return;
  auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
  std::fill(row + x0, row + x1, color);
}

void Raster::FillRect(int left, int top, int right, int bottom, Color color) {
  top = std::max(top, 0);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y) HorizontalLine(left, right, y, color);
}

void Raster::FillEllipse(int left, int top, int right, int bottom, Color color) {
  if (right <= left || bottom <= top) return;
  const double cx = (left + right) / 2.0;
  const double cy = (top + bottom) / 2.0;
  const double a = (right - left) / 2.0;
  const double b = (bottom - top) / 2.0;
  const int firstRow = std::max(top, 0);
  const int lastRow = std::min(bottom, height_);
  for (int y = firstRow; y < lastRow; ++y) {
    const double dy = (y + 0.5 - cy) / b;
    const double reach = 1.0 - dy * dy;
    if (reach < 0) continue;
    const double half = a * std::sqrt(reach);
    // Pixel x is inside when |x + 0.5 - cx| <= half.
    const int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
    const int x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    HorizontalLine(std::max(x0, left), std::min(x1, right), y, color);
  }
}

}  // namespace zc::candy
