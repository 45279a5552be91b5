#include "core/candy/candy_painters.h"

#include <cstdlib>

#include "core/base/rounding.h"

namespace zc::candy {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = Rgb(0, 0, 0);

int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

}  // namespace

std::vector<GlowEllipse> GlowEllipses(const CandyParams& params, int width, int height, Color base,
                                      Color bright) {
  std::vector<GlowEllipse> ellipses;
  const int b = Round(width * params.GlowWidthPercent() / 100.0);
  const int c = Round(height * params.GlowHeightPercent() / 100.0);
  if (b <= 0 || c <= 0) return ellipses;  // the steps would be undefined; no glow
  double sx = 1;
  double sy = 1;
  if (c < b) sx = static_cast<double>(b) / c;
  else sy = static_cast<double>(c) / b;
  const int shrinkX = Round(sx);
  const int shrinkY = Round(sy);
  int left = params.GlowCentreX() - b;
  int top = params.GlowCentreY() - c;
  int right = params.GlowCentreX() + b;
  int bottom = params.GlowCentreY() + c;
  Color brush = base;
  for (int k = 1; right > left && bottom > top; ++k) {
    ellipses.push_back({left, top, right, bottom, brush});
    left += shrinkX, right -= shrinkX;
    top += shrinkY, bottom -= shrinkY;
    brush = Blend(base, bright, Round(static_cast<double>(params.GlowStep()) * (k + 1) / c));
  }
  return ellipses;
}

Color CandyBorderColor(Color base, int borderBrightness) {
  if (borderBrightness < 0) return Blend(base, kBlack, -borderBrightness);
  return Blend(base, kWhite, borderBrightness);
}

void PaintCandy(Raster& raster, const CandyParams& params, int radius, const PixelMask& innerShape,
                Color base, Color bright, Color border) {
  const int r = radius < 1 ? 1 : radius;
  const int w = raster.Width();
  const int h = raster.Height();
  const RoundRectRegion shine(params.ShineLeft(), params.ShineTop(), params.ShineRight(),
                              params.ShineBottom(), 2 * params.ShineRadius(), 2 * params.ShineRadius());
  raster.FillRect(0, 0, w, h, base);
  for (const GlowEllipse& e : GlowEllipses(params, w, h, base, bright))
    raster.FillEllipse(e.left, e.top, e.right, e.bottom, e.color);
  for (int y = 0; y <= h; ++y) {
    for (int x = 0; x <= w / 2; ++x) {
      if (!innerShape.Contains(x, y)) {
        raster.SetPixel(x, y, border);
        raster.SetPixel(w - x, y, border);
      } else if (shine.Contains(x, y)) {
        const Color line = Blend(kWhite, base, params.ShineStart() + y * params.ShineStep() / r);
        raster.HorizontalLine(x, w - x + 1, y, line);
        break;
      }
    }
  }
}

void PaintGel(Raster& raster, int radius, Color base, Color bright) {
  const int r = radius < 1 ? 1 : radius;
  const int w = raster.Width();
  const int h = raster.Height();
  const Color border = Blend(kBlack, base, 50);
  Color top = kBlack;
  for (int y = 0; y <= h; ++y) {
    if (y < r) top = Blend(kWhite, base, 30 * y / r);
    const int pct = h > 0 ? std::abs((2 * y - h) * 100 / h) : 0;
    const Color gradient = Blend(base, bright, pct);
    for (int x = 0; x <= w / 2; ++x) {
      Color color;
      if (InsideRoundBox(x, y, 1, 1, w - 2, h - 2, r)) {
        const bool a = InsideRoundBox(x, y, 4, 2, w - r, 2 * r - 1, (2 * r) / 3);
        const bool b = InsideRoundBox(x, y, 4, r / 2, w - r, 2 * r - 1, (2 * r) / 3);
        color = (b || !a) ? gradient : top;
      } else if (InsideRoundBox(x, y, 0, 0, w, h, r)) {
        color = border;
      } else {
        continue;
      }
      raster.SetPixel(x, y, color);
      raster.SetPixel(w - x, y, color);
    }
  }
}

}  // namespace zc::candy
