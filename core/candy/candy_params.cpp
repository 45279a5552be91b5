#include "core/candy/candy_params.h"

#include <algorithm>

#include "core/base/rounding.h"
#include "core/candy/candy_types.h"

namespace zc::candy {
namespace {

int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

// Clamp that keeps the minimum when the range is empty (a control narrower than tall).
int ClampLow(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

std::optional<int> CornerRadiusForStyle(int style, int width, int height) {
  switch (style) {
    case kRounded:
      return 12;
    case kGel:
      return ClampLow(height / 3, 1, width / 3);
    case kSoftRect:
      return ClampLow(height / 4 + 1, 1, width / 4);
    case kPill:
    case kPillGloss:
    case kPillSoft:
      return ClampLow(height / 2 + 1, 1, width / 2);
    default:
      return std::nullopt;
  }
}

std::optional<CandyParams> CandyParamsFor(int style, int radius, int width, int height) {
  const int r = radius;
  const int w = width;
  const int h = height;
  CandyParams params;
  auto& p = params.p;
  p[0] = 0;
  p[6] = Round(w + 2.0 * r);
  p[9] = Round(w / 2.0);
  p[10] = Round(h);
  switch (style) {
    case kPill:
      p[1] = 50, p[2] = r / 2, p[3] = 1, p[4] = r / 2, p[5] = Round(1.1 * r);
      p[7] = 300, p[8] = 60, p[11] = 120;
      break;
    case kRounded: {
      p[1] = 70, p[2] = r / 3, p[3] = 0, p[4] = 10, p[5] = 12;
      const int drop = h > 0 ? 700 / h : 0;
      p[7] = 200, p[8] = (h > 0 && drop >= 20) ? 100 - drop : 80, p[11] = 130;
      break;
    }
    case kPillGloss:
      p[1] = 70, p[2] = r / 3 - 1, p[3] = 0, p[4] = r / 2, p[5] = r;
      p[7] = 200, p[8] = 70, p[11] = 130;
      break;
    case kPillSoft:
      p[1] = 40, p[2] = -(r / 2) - 1, p[3] = -r, p[4] = r, p[5] = r + 1;
      p[7] = 60, p[8] = 60, p[11] = 130;
      break;
    case kSoftRect:
      p[1] = 50, p[2] = Round(r / 2.0), p[3] = 2, p[4] = Round(r / 2.0), p[5] = r + 1;
      p[6] = Round(static_cast<double>(w) - r);
      p[7] = 60, p[8] = 60, p[10] = Round(h / 2.0), p[11] = 100;
      break;
    default:
      return std::nullopt;
  }
  return params;
}

}  // namespace zc::candy
