#pragma once
// The button's own picture: W x H pixels, origin top-left, each pixel a colour
// 0x00BBGGRR. Every drawing call clips to the raster, so callers may draw partly or
// wholly outside it. Rectangles and lines exclude their right and bottom ends.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/candy/color.h"

namespace zc::candy {

class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, Color fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Resizes and fills every pixel with `fill`.
  void Reset(int width, int height, Color fill);
  void Clear(Color fill);

  Color Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  void SetPixel(int x, int y, Color color);
  // Columns x0 .. x1 - 1 of row y.
  void HorizontalLine(int x0, int x1, int y, Color color);
  // Columns left .. right - 1, rows top .. bottom - 1.
  void FillRect(int left, int top, int right, int bottom, Color color);
  // The ellipse inscribed in the rectangle (right and bottom excluded): a pixel belongs to
  // it when its centre lies inside the ellipse. An empty rectangle fills nothing.
  void FillEllipse(int left, int top, int right, int bottom, Color color);

  const std::vector<Color>& Pixels() const { return pixels_; }
  std::vector<Color>& Pixels() { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
};

}  // namespace zc::candy
