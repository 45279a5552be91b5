#pragma once
// The rounded shapes of the candy button: the point tests that decide them, the pixel
// masks built from them (window shape and inner shape), and the rounded-rectangle region
// of the shine.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zc::candy {

// Corner test: with a = dx - centreColumn and b = dy - centreRow, inside when
// R*R - a*a is not negative and |b| < round(sqrt(R*R - a*a)).
bool InsideCornerCircle(int dx, int dy, int centreColumn, int centreRow, int radius);

// Whether pixel (x, y) lies in the rounded box (left, top, width, height) of corner
// radius R. Column dx = 0 and row dy = 0 of the box are always outside.
bool InsideRoundBox(int x, int y, int left, int top, int width, int height, int radius);

// A set of pixels of a width x height area.
class PixelMask {
 public:
  PixelMask() = default;
  PixelMask(int width, int height, bool filled);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ && bits_[Index(x, y)] != 0;
  }
  void Set(int x, int y, bool inside);

  struct Span {
    int y;
    int left;   // first column inside
    int right;  // one past the last column inside
  };
  // The mask as runs of pixels, row by row, left to right.
  std::vector<Span> Spans() const;

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> bits_;
};

// The rounded shape of the box (left, top, width, height) with radius R: the rectangle
// (0, 0, left + width, top + height) minus the pixels that fail InsideRoundBox in its left
// half, each together with its mirror in column (left + width) - x. `radius` below 1
// counts as 1.
PixelMask BuildRoundShape(int left, int top, int width, int height, int radius);

// A rounded rectangle (left, top, right, bottom; right and bottom excluded) whose corners
// are quarters of an ellipse of ellipseWidth x ellipseHeight: the shine's region.
class RoundRectRegion {
 public:
  RoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  bool Contains(int x, int y) const;

 private:
  int left_, top_, right_, bottom_;
  double rx_, ry_;
};

}  // namespace zc::candy
