#include "core/candy/round_shape.h"

#include <algorithm>
#include <cmath>

#include "core/base/rounding.h"

namespace zc::candy {

bool InsideCornerCircle(int dx, int dy, int centreColumn, int centreRow, int radius) {
  const long long a = dx - centreColumn;
  const long long b = dy - centreRow;
  const long long reach = static_cast<long long>(radius) * radius - a * a;
  if (reach < 0) return false;
  return std::llabs(b) < RoundHalfEven(std::sqrt(static_cast<double>(reach)));
}

bool InsideRoundBox(int x, int y, int left, int top, int width, int height, int radius) {
  const int dx = x - left;
  const int dy = y - top;
  const int r = radius;
  if (r < dx && dx + r < width && r < dy && dy + r < height) return true;
  if (dx < r && dy <= r) return InsideCornerCircle(dx, dy, r, r, r);
  if (dy <= r && dx + r > width) return InsideCornerCircle(dx, dy, width - r, r, r);
  if (dx < r && dy + r >= height) return InsideCornerCircle(dx, dy, r, height - r, r);
  if (dx + r > width && dy + r >= height) return InsideCornerCircle(dx, dy, width - r, height - r, r);
  return 0 < dx && dx < width && 0 < dy && dy < height;
}

PixelMask::PixelMask(int width, int height, bool filled)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bits_(static_cast<std::size_t>(width_) * height_, filled ? 1 : 0) {}

void PixelMask::Set(int x, int y, bool inside) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[Index(x, y)] = inside ? 1 : 0;
}

std::vector<PixelMask::Span> PixelMask::Spans() const {
  std::vector<Span> spans;
  for (int y = 0; y < height_; ++y) {
    int x = 0;
    while (x < width_) {
      while (x < width_ && !bits_[Index(x, y)]) ++x;
      const int start = x;
      while (x < width_ && bits_[Index(x, y)]) ++x;
      if (x > start) spans.push_back({y, start, x});
    }
  }
  return spans;
}

PixelMask BuildRoundShape(int left, int top, int width, int height, int radius) {
  const int r = std::max(radius, 1);
  const int right = left + width;
  const int bottom = top + height;
  PixelMask mask(right, bottom, true);
  // Only the left half decides; its result is mirrored. Pixels of the scan that fall
  // outside the rectangle are simply not part of the shape.
  for (int y = 0; y < bottom; ++y) {
    for (int x = 0; x <= right / 2; ++x) {
      if (InsideRoundBox(x, y, left, top, width, height, r)) continue;
      mask.Set(x, y, false);
      mask.Set(right - x, y, false);
    }
  }
  return mask;
}

RoundRectRegion::RoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                                 int ellipseHeight)
    : left_(left), top_(top), right_(right), bottom_(bottom) {
  rx_ = std::min(std::abs(ellipseWidth) / 2.0, (right - left) / 2.0);
  ry_ = std::min(std::abs(ellipseHeight) / 2.0, (bottom - top) / 2.0);
}

bool RoundRectRegion::Contains(int x, int y) const {
  if (x < left_ || x >= right_ || y < top_ || y >= bottom_) return false;
  if (rx_ <= 0 || ry_ <= 0) return true;
  const double px = x + 0.5;
  const double py = y + 0.5;
  double cx = 0;
  double cy = 0;
  if (px < left_ + rx_) cx = left_ + rx_;
  else if (px > right_ - rx_) cx = right_ - rx_;
  else return true;
  if (py < top_ + ry_) cy = top_ + ry_;
  else if (py > bottom_ - ry_) cy = bottom_ - ry_;
  else return true;
  const double nx = (px - cx) / rx_;
  const double ny = (py - cy) / ry_;
  return nx * nx + ny * ny <= 1.0;
}

}  // namespace zc::candy
