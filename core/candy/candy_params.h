#pragma once
// Geometry numbers of the candy faces: the corner radius by style and the twelve
// parameters of the shine and the glow.

#include <array>
#include <optional>

namespace zc::candy {

// P0 shine start percent, P1 shine percent step, P2 shine left, P3 shine top, P4 shine
// corner radius, P5 shine bottom, P6 shine right, P7/P8 glow half-axes in percent of W
// and H, P9/P10 glow centre, P11 glow percent step.
struct CandyParams {
  std::array<int, 12> p{};
  int ShineStart() const { return p[0]; }
  int ShineStep() const { return p[1]; }
  int ShineLeft() const { return p[2]; }
  int ShineTop() const { return p[3]; }
  int ShineRadius() const { return p[4]; }
  int ShineBottom() const { return p[5]; }
  int ShineRight() const { return p[6]; }
  int GlowWidthPercent() const { return p[7]; }
  int GlowHeightPercent() const { return p[8]; }
  int GlowCentreX() const { return p[9]; }
  int GlowCentreY() const { return p[10]; }
  int GlowStep() const { return p[11]; }
};

// The corner radius of a rounded style for a width x height control, or nothing for the
// rectangular styles (0, 1 and values outside 2..7).
std::optional<int> CornerRadiusForStyle(int style, int width, int height);

// The parameters of candy style 2, 3, 4, 5 or 7; nothing for other styles.
std::optional<CandyParams> CandyParamsFor(int style, int radius, int width, int height);

}  // namespace zc::candy
