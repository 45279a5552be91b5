#include "win32/candy/gdi_candy_surface.h"

#include <string>

#include "core/base/rounding.h"
#include "win32/base/ansi.h"
#include "win32/candy/raster_dib.h"

namespace zc::win {
namespace {

constexpr double kHimetricPerInch = 2540.0;

int ScreenDpi(int index) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, index) : 96;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// Selects an object into a DC for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

std::shared_ptr<GdiPicture> GdiPicture::FromBitmap(UniqueBitmap bitmap) {
  auto picture = std::make_shared<GdiPicture>();
  BITMAP info{};
  if (bitmap && ::GetObjectW(bitmap.get(), sizeof(info), &info) != 0) picture->SetPixelSize(info.bmWidth, info.bmHeight);
  picture->bitmap_ = std::move(bitmap);
  return picture;
}

std::shared_ptr<GdiPicture> GdiPicture::FromIcon(UniqueIcon icon) {
  auto picture = std::make_shared<GdiPicture>();
  ICONINFO info{};
  if (icon && ::GetIconInfo(icon.get(), &info)) {
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap color(info.hbmColor);
    BITMAP bits{};
    if (::GetObjectW(info.hbmMask, sizeof(bits), &bits) != 0)
      picture->SetPixelSize(bits.bmWidth, color ? bits.bmHeight : bits.bmHeight / 2);
  }
  picture->icon_ = std::move(icon);
  return picture;
}

void GdiPicture::SetPixelSize(int width, int height) {
  widthPixels_ = width;
  heightPixels_ = height;
  widthHimetric_ = static_cast<int>(RoundHalfEven(width * kHimetricPerInch / ScreenDpi(LOGPIXELSX)));
  heightHimetric_ = static_cast<int>(RoundHalfEven(height * kHimetricPerInch / ScreenDpi(LOGPIXELSY)));
}

candy::Color GdiSystemColors::Translate(candy::Color color) {
  if (!candy::IsSystemColor(color)) return color & 0x00FFFFFFu;
  return static_cast<candy::Color>(::GetSysColor(static_cast<int>(color & 0xFF)));
}

HFONT GdiCandySurface::FontFor(const candy::CandyFont& font) {
  if (font_ && font == fontKey_) return font_.get();
  const int height = -static_cast<int>(RoundHalfEven(font.sizePoints * ScreenDpi(LOGPIXELSY) / 72.0));
  const std::wstring face = ToWide(font.name);
  font_.reset(::CreateFontW(height, 0, 0, 0, font.weight, font.italic, font.underline, font.strikethrough,
                            static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  fontKey_ = font;
  return font_.get();
}

candy::TextExtent GdiCandySurface::MeasureCaption(TextView caption, const candy::CandyFont& font) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return {};
  Selection selected(dc.get(), FontFor(font));
  const std::wstring text = ToWide(caption);
  SIZE size{};
  if (!::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size)) return {};
  return {size.cx, size.cy};
}

void GdiCandySurface::DrawCaption(candy::Raster& raster, int x, int y, TextView caption,
                                  const candy::CandyFont& font, candy::Color color, bool greyed) {
  RasterDib dib(raster);
  if (!dib.Valid()) return;
  Selection selected(dib.Dc(), FontFor(font));
  ::SetBkMode(dib.Dc(), TRANSPARENT);
  const std::wstring text = ToWide(caption);
  if (greyed) {
    ::DrawStateW(dib.Dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), static_cast<WPARAM>(text.size()),
                 x, y, 0, 0, DST_TEXT | DSS_DISABLED);
  } else {
    ::SetTextColor(dib.Dc(), static_cast<COLORREF>(color));
    ::TextOutW(dib.Dc(), x, y, text.c_str(), static_cast<int>(text.size()));
  }
  dib.StoreInto(raster);
}

void GdiCandySurface::PictureSizeInPixels(const candy::CandyPicture& picture, double& width, double& height) {
  width = picture.WidthHimetric() * ScreenDpi(LOGPIXELSX) / kHimetricPerInch;
  height = picture.HeightHimetric() * ScreenDpi(LOGPIXELSY) / kHimetricPerInch;
}

void GdiCandySurface::DrawPicture(candy::Raster& raster, int x, int y, const candy::CandyPicture& picture,
                                  candy::PictureLook look, candy::Color silhouette) {
  const auto* gdi = dynamic_cast<const GdiPicture*>(&picture);
  if (gdi == nullptr) return;  // pictures of another kind are not drawn
  RasterDib dib(raster);
  if (!dib.Valid()) return;
  UINT flags = DSS_NORMAL;
  UniqueBrush brush;
  if (look == candy::PictureLook::Greyed) {
    flags = DSS_DISABLED;
  } else if (look == candy::PictureLook::Silhouette) {
    flags = DSS_MONO;
    brush.reset(::CreateSolidBrush(static_cast<COLORREF>(silhouette)));
  }
  if (gdi->Icon() != nullptr) {
    ::DrawStateW(dib.Dc(), brush.get(), nullptr, reinterpret_cast<LPARAM>(gdi->Icon()), 0, x, y, gdi->WidthPixels(),
                 gdi->HeightPixels(), DST_ICON | flags);
  } else if (gdi->Bitmap() != nullptr) {
    ::DrawStateW(dib.Dc(), brush.get(), nullptr, reinterpret_cast<LPARAM>(gdi->Bitmap()), 0, x, y,
                 gdi->WidthPixels(), gdi->HeightPixels(), DST_BITMAP | flags);
  }
  dib.StoreInto(raster);
}

}  // namespace zc::win
