#pragma once
// The faces of the eight styles, painted onto the button's raster. W and H are the
// raster's size; each painter writes the left half and mirrors it into column W - x.

#include <optional>
#include <vector>

#include "core/candy/candy_params.h"
#include "core/candy/candy_types.h"
#include "core/candy/color.h"
#include "core/candy/raster.h"
#include "core/candy/round_shape.h"

namespace zc::candy {

// One ellipse of the glow: the rectangle it is inscribed in and its colour.
struct GlowEllipse {
  int left, top, right, bottom;
  Color color;
  bool operator==(const GlowEllipse&) const = default;
};

// The glow's concentric ellipses, outermost first, each lighter towards `bright`.
// Empty when either half-axis is not positive.
std::vector<GlowEllipse> GlowEllipses(const CandyParams& params, int width, int height, Color base,
                                      Color bright);

// The border colour of the candy styles: towards black for negative brightness, towards
// white for positive.
Color CandyBorderColor(Color base, int borderBrightness);

// Candy styles 2, 3, 4, 5 and 7: base fill, glow, top shine and border.
void PaintCandy(Raster& raster, const CandyParams& params, int radius, const PixelMask& innerShape,
                Color base, Color bright, Color border);

// Style 6: vertical gradient from base to bright, a white crescent at the top, a dark
// border.
void PaintGel(Raster& raster, int radius, Color base, Color bright);

// Styles 0 and 1, on the parent's background (nothing filled when there is none).
void PaintSilver(Raster& raster, VisualState state, std::optional<Color> parentBackground);
void PaintFlat(Raster& raster, VisualState state, std::optional<Color> parentBackground);

}  // namespace zc::candy
