#pragma once
// A pixel mask as a window region: the union of its row spans.

#include <windows.h>

#include "core/candy/round_shape.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

UniqueRegion RegionFromMask(const candy::PixelMask& mask);

}  // namespace zc::win
