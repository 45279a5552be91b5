#pragma once
// A 32-bit top-down DIB section in a memory DC, the size of a raster, so that GDI can
// draw onto the button's raster: load the raster, draw, store it back.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/candy/raster.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

// The raster's pixels in the DIB layout (0x00RRGGBB).
std::vector<uint32_t> ToDibPixels(const candy::Raster& raster);

// The header of a top-down 32-bit DIB of the raster's size.
BITMAPINFO DibHeader(int width, int height);

class RasterDib {
 public:
  explicit RasterDib(const candy::Raster& raster);
  ~RasterDib();
  RasterDib(const RasterDib&) = delete;
  RasterDib& operator=(const RasterDib&) = delete;

  bool Valid() const { return bits_ != nullptr; }
  HDC Dc() const { return dc_.get(); }
  // Copies the DIB's pixels back into `raster` (same size).
  void StoreInto(candy::Raster& raster) const;

 private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zc::win
