#pragma once
// Caption and picture drawing for the candy button with GDI: the raster is loaded into a
// DIB section, GDI draws on it, and the result goes back into the raster. Also the
// pictures the button can show (a bitmap or an icon it owns) and the system colours.

#include <windows.h>

#include <memory>

#include "core/candy/candy_platform.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

class GdiPicture : public candy::CandyPicture {
 public:
  static std::shared_ptr<GdiPicture> FromBitmap(UniqueBitmap bitmap);
  static std::shared_ptr<GdiPicture> FromIcon(UniqueIcon icon);

  int WidthHimetric() const override { return widthHimetric_; }
  int HeightHimetric() const override { return heightHimetric_; }
  HBITMAP Bitmap() const { return bitmap_.get(); }
  HICON Icon() const { return icon_.get(); }
  int WidthPixels() const { return widthPixels_; }
  int HeightPixels() const { return heightPixels_; }

 private:
  void SetPixelSize(int width, int height);
  UniqueBitmap bitmap_;
  UniqueIcon icon_;
  int widthPixels_ = 0, heightPixels_ = 0;
  int widthHimetric_ = 0, heightHimetric_ = 0;
};

class GdiSystemColors : public candy::SystemColors {
 public:
  candy::Color Translate(candy::Color color) override;
};

class GdiCandySurface : public candy::CandySurface {
 public:
  candy::TextExtent MeasureCaption(TextView caption, const candy::CandyFont& font) override;
  void DrawCaption(candy::Raster& raster, int x, int y, TextView caption, const candy::CandyFont& font,
                   candy::Color color, bool greyed) override;
  void PictureSizeInPixels(const candy::CandyPicture& picture, double& width, double& height) override;
  void DrawPicture(candy::Raster& raster, int x, int y, const candy::CandyPicture& picture,
                   candy::PictureLook look, candy::Color silhouette) override;

 private:
  HFONT FontFor(const candy::CandyFont& font);
  candy::CandyFont fontKey_;
  UniqueFont font_;
};

}  // namespace zc::win
