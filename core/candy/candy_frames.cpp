// The two rectangular looks: Silver (style 0) and Flat (style 1). Both lie on the
// parent's background, fill gradient bands row by row and close with a one-pixel frame
// whose corners are cut by a diagonal. The frame occupies columns 0..W-1 and rows
// 0..H-1 and is symmetric: each corner mirrors the top-left one.
#include <algorithm>

#include "core/base/rounding.h"
#include "core/candy/candy_painters.h"

namespace zc::candy {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255);

// c1 + (c2 - c1) * t per channel, rounded; t may overshoot 1.
Color Mix(Color c1, Color c2, double t) {
  const auto channel = [t](int a, int b) {
    return std::clamp(static_cast<int>(RoundHalfEven(a + (b - a) * t)), 0, 255);
  };
  return Rgb(channel(RedOf(c1), RedOf(c2)), channel(GreenOf(c1), GreenOf(c2)),
             channel(BlueOf(c1), BlueOf(c2)));
}

// y / span, or 0 where the control is too small for the band to have a length.
double Ratio(int value, int span) { return span > 0 ? static_cast<double>(value) / span : 0.0; }

struct FrameColors {
  Color edge;
  Color diagonal;
  Color corner;
};

void DrawFrame(Raster& raster, const FrameColors& colors) {
  const int right = raster.Width() - 1;
  const int bottom = raster.Height() - 1;
  raster.HorizontalLine(2, right - 1, 0, colors.edge);
  raster.HorizontalLine(2, right - 1, bottom, colors.edge);
  for (int y = 2; y <= bottom - 2; ++y) {
    raster.SetPixel(0, y, colors.edge);
    raster.SetPixel(right, y, colors.edge);
  }
  const struct {
    int x, y, dx, dy;
  } corners[] = {{0, 0, 1, 1}, {right, 0, -1, 1}, {0, bottom, 1, -1}, {right, bottom, -1, -1}};
  for (const auto& c : corners) {
    raster.SetPixel(c.x, c.y + 2 * c.dy, colors.diagonal);
    raster.SetPixel(c.x + c.dx, c.y + c.dy, colors.diagonal);
    raster.SetPixel(c.x, c.y + c.dy, colors.corner);
    raster.SetPixel(c.x + c.dx, c.y, colors.corner);
  }
}

void FillParentBackground(Raster& raster, std::optional<Color> parentBackground) {
  if (parentBackground) raster.FillRect(0, 0, raster.Width() - 1, raster.Height() - 1, *parentBackground);
}

// The three bands of a pressed face: rows 1..4, 4..H'-4 and H'-4 onwards.
struct Bands {
  Color topFrom, topTo, middleTo, bottomTo;
  int bottomRows;  // 4 for Flat, 5 for pressed Silver (its last row overshoots)
};

void PaintPressedBands(Raster& raster, const Bands& bands) {
  const int w1 = raster.Width() - 1;
  const int h1 = raster.Height() - 1;
  for (int k = 0; k <= 3; ++k) raster.HorizontalLine(0, w1, 1 + k, Mix(bands.topFrom, bands.topTo, k / 3.0));
  for (int y = 4; y <= h1 - 4; ++y)
    raster.HorizontalLine(0, w1, y, Mix(bands.topTo, bands.middleTo, Ratio(y, h1 - 6)));
  for (int k = 0; k < bands.bottomRows; ++k)
    raster.HorizontalLine(0, w1, h1 - 4 + k, Mix(bands.middleTo, bands.bottomTo, k / 3.0));
}

// The inner frame of a focused or hovered Silver button.
void PaintInnerFrame(Raster& raster, Color row1, Color row2, Color sideTo, Color lastRow) {
  const int w1 = raster.Width() - 1;
  const int h1 = raster.Height() - 1;
  raster.HorizontalLine(0, w1 + 1, 1, row1);
  raster.HorizontalLine(0, w1 + 1, 2, row2);
  for (int y = 3; y <= h1 - 3; ++y) {
    const Color side = Mix(row2, sideTo, Ratio(y, h1));
    raster.HorizontalLine(0, 3, y, side);
    raster.HorizontalLine(w1 - 2, w1, y, side);
  }
  raster.HorizontalLine(0, w1 + 1, h1 - 2, sideTo);
  raster.HorizontalLine(0, w1 + 1, h1 - 1, lastRow);
}

}  // namespace

void PaintSilver(Raster& raster, VisualState state, std::optional<Color> parentBackground) {
  const int w1 = raster.Width() - 1;
  const int h1 = raster.Height() - 1;
  FillParentBackground(raster, parentBackground);
  if (state == VisualState::Down) {
    PaintPressedBands(raster, {Rgb(209, 204, 193), Rgb(229, 228, 221), Rgb(226, 226, 218),
                               Rgb(242, 241, 238), 5});
  } else {
    for (int y = 0; y <= h1 - 3; ++y)
      raster.HorizontalLine(1, w1, y, Mix(kWhite, Rgb(236, 235, 230), Ratio(y, h1 - 3)));
    for (int k = 0; k <= 3; ++k)
      raster.HorizontalLine(0, w1, h1 - 4 + k, Mix(Rgb(236, 235, 230), Rgb(214, 208, 197), k / 3.0));
  }
  if (state == VisualState::Focused)
    PaintInnerFrame(raster, Rgb(206, 231, 255), Rgb(188, 212, 246), Rgb(137, 173, 228), Rgb(105, 130, 238));
  else if (state == VisualState::Hover)
    PaintInnerFrame(raster, Rgb(255, 240, 202), Rgb(253, 216, 137), Rgb(248, 178, 48), Rgb(229, 151, 0));
  DrawFrame(raster, {Rgb(0, 60, 116), Rgb(37, 87, 131), Rgb(122, 149, 168)});
}

void PaintFlat(Raster& raster, VisualState state, std::optional<Color> parentBackground) {
  FillParentBackground(raster, parentBackground);
  switch (state) {
    case VisualState::Down:
      PaintPressedBands(raster, {Rgb(220, 218, 209), Rgb(231, 230, 224), Rgb(225, 224, 216),
                                 Rgb(235, 234, 229), 4});
      DrawFrame(raster, {Rgb(157, 157, 146), Rgb(179, 179, 168), Rgb(215, 215, 204)});
      break;
    case VisualState::Hover:
      PaintPressedBands(raster, {Rgb(254, 254, 253), Rgb(252, 252, 249), Rgb(238, 237, 229),
                                 Rgb(215, 210, 198), 4});
      DrawFrame(raster, {Rgb(206, 206, 195), Rgb(216, 216, 205), Rgb(232, 232, 221)});
      break;
    case VisualState::CheckedDown:
      raster.FillRect(1, 1, raster.Width() - 1, raster.Height() - 1, kWhite);
      DrawFrame(raster, {Rgb(122, 152, 175), Rgb(152, 175, 190), Rgb(203, 213, 214)});
      break;
    default:
      break;  // at rest and focused only the parent's background shows
  }
}

}  // namespace zc::candy
