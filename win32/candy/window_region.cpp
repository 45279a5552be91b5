#include "win32/candy/window_region.h"

namespace zc::win {

UniqueRegion RegionFromMask(const candy::PixelMask& mask) {
  UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  if (!region) return region;
  for (const auto& span : mask.Spans()) {
    UniqueRegion row(::CreateRectRgn(span.left, span.y, span.right, span.y + 1));
    if (row) ::CombineRgn(region.get(), region.get(), row.get(), RGN_OR);
  }
  return region;
}

}  // namespace zc::win
