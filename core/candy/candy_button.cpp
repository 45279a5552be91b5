#include "core/candy/candy_button.h"

#include <algorithm>
#include <cstdlib>

#include "core/base/rounding.h"
#include "core/candy/candy_painters.h"
#include "core/candy/candy_params.h"
#include "core/candy/color_scheme.h"

namespace zc::candy {
namespace {

int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

constexpr Color kDisabledBase = Rgb(192, 192, 176);
constexpr Color kWhite = Rgb(255, 255, 255);

bool IsCandyStyle(int style) {
  return style == kPill || style == kRounded || style == kPillGloss || style == kPillSoft ||
         style == kSoftRect;
}

}  // namespace

CaptionLayout LayoutPictureAndCaption(int alignment, int width, int height, int radius,
                                      int pictureWidth, int pictureHeight, int captionWidth,
                                      int captionHeight, VisualState state) {
  const double sw = width;
  const double sh = height;
  const int pw = pictureWidth, ph = pictureHeight, cw = captionWidth, ch = captionHeight;
  CaptionLayout layout;
  const int centredCaptionX = std::abs(Round(sw) / 2 - cw / 2);
  switch (alignment) {
    case kPictureAbove:
      layout.pictureX = Round(sw - pw) / 2 + 1;
      layout.pictureY = Round(sh - (ph + ch)) / 2 + 1;
      layout.captionX = centredCaptionX;
      layout.captionY = std::abs(Round(sh) / 2 + ph / 2 - ch / 2);
      break;
    case kPictureBelow:
      layout.pictureX = Round(sw - pw) / 2;
      layout.pictureY = Round(sh - (ph - ch)) / 2 + 1;
      layout.captionX = centredCaptionX;
      layout.captionY = std::abs(Round(sh) / 2 - (ph + ch) / 2);
      break;
    case kPictureLeft:
    case kPictureRight:
      layout.pictureX = alignment == kPictureLeft ? (radius == 0 ? 8 : radius)
                                                  : Round(sw - (radius == 0 ? 8 : radius) - pw);
      layout.pictureY = Round(sh - ph) / 2 + 1;
      layout.captionX = centredCaptionX;
      layout.captionY = std::abs(Round(sh) / 2 - ch / 2);
      break;
    default:
      layout.pictureDefined = false;  // caption at the origin, picture not drawn
      break;
  }
  if (state == VisualState::Down) {
    ++layout.pictureX, ++layout.pictureY, ++layout.captionX, ++layout.captionY;
  }
  return layout;
}

CandyButton::CandyButton(CandyHost& host, CandySurface& surface, SystemColors& systemColors)
    : host_(host), surface_(surface), systemColors_(systemColors) {}

void CandyButton::SetDisplayHand(bool value) { props_.displayHand = value; }

void CandyButton::SetEnabled(bool value) {
  props_.enabled = value;
  host_.PropertyChanged("Enabled");
  Redraw(VisualState::Up);
}

void CandyButton::SetColorScheme(int value) {
  if (const auto preset = PresetScheme(value)) {
    SetColorButtonUp(preset->up);
    SetColorButtonHover(preset->hover);
    SetColorButtonDown(preset->down);
    SetColorBright(preset->bright);
  }
  props_.colorScheme = value;
  host_.PropertyChanged("m_ColorScheme");
  Redraw(VisualState::Up);
}

void CandyButton::SetBorderBrightness(int value) {
  props_.borderBrightness = std::clamp(value, -100, 100);
  host_.PropertyChanged("m_BorderBrightness");
  Redraw(VisualState::Up);
}

void CandyButton::SetIconHighLite(bool value) {
  props_.iconHighLite = value;
  host_.PropertyChanged("IconHighLite");
}

void CandyButton::SetIconHighLiteColor(Color value) {
  props_.iconHighLiteColor = value;
  host_.PropertyChanged("IconHighLiteColor");
}

void CandyButton::SetCaptionHighLite(bool value) {
  props_.captionHighLite = value;
  host_.PropertyChanged("CaptionHighLite");
}

void CandyButton::SetCaptionHighLiteColor(Color value) {
  props_.captionHighLiteColor = value;
  host_.PropertyChanged("CaptionHighLiteColor");
}

void CandyButton::SetSchemeColor(Color& slot, Color value, std::string_view notice) {
  slot = value;
  if (props_.colorScheme != 0) {
    props_.colorScheme = 0;
    host_.PropertyChanged("m_ColorScheme");
  }
  host_.PropertyChanged(notice);
  Redraw(VisualState::Up);
}

void CandyButton::SetColorBright(Color value) { SetSchemeColor(props_.colorBright, value, "m_ColorBright"); }
void CandyButton::SetColorButtonDown(Color value) {
  SetSchemeColor(props_.colorButtonDown, value, "m_ColorButtonDown");
}
void CandyButton::SetColorButtonUp(Color value) { SetSchemeColor(props_.colorButtonUp, value, "m_ColorButtonUp"); }
void CandyButton::SetColorButtonHover(Color value) {
  SetSchemeColor(props_.colorButtonHover, value, "m_ColorButtonHover");
}

void CandyButton::SetForeColor(Color value) {
  props_.foreColor = value;
  textColor_ = value;
  host_.PropertyChanged("ForeColor");
  Redraw(VisualState::Up);
}

void CandyButton::SetPicture(PictureRef value) {
  props_.picture = std::move(value);
  host_.PropertyChanged("Picture");
  Redraw(VisualState::Up);
}

void CandyButton::SetChecked(bool value) {
  props_.checked = value;
  Redraw(value ? VisualState::CheckedDown : hover_ ? VisualState::Hover : VisualState::Up);
  host_.PropertyChanged("Checked");
}

void CandyButton::SetStyle(int value) {
  if (value == props_.style) return;
  props_.style = value;
  host_.PropertyChanged("Style");
  ApplyShape();
  Redraw(VisualState::Up);
}

void CandyButton::SetPictureAlignment(int value) {
  if (value == props_.pictureAlignment) return;
  props_.pictureAlignment = value;
  host_.PropertyChanged("PictureAlignment");
  Redraw(VisualState::Up);
}

void CandyButton::SetCaption(TextView value) {
  props_.caption = Text(value);
  host_.PropertyChanged("Caption");
  Redraw(VisualState::Up);
}

void CandyButton::SetFont(const CandyFont& value) {
  props_.font = value;
  host_.PropertyChanged("Font");
  Redraw(VisualState::Up);
}

void CandyButton::SetSize(int width, int height) {
  raster_.Reset(width, height, systemColors_.Translate(kButtonFaceSystemColor));
}

void CandyButton::ApplyShape() {
  innerShape_ = PixelMask();
  const int w = Width();
  const int h = Height();
  if (const auto radius = CornerRadiusForStyle(props_.style, w, h)) {
    cornerRadius_ = std::max(*radius, 1);
    windowShape_ = BuildRoundShape(0, 0, w, h, cornerRadius_);
    innerShape_ = BuildRoundShape(1, 1, w - 2, h - 2, cornerRadius_);
    host_.SetWindowShape(&*windowShape_);
  } else {
    windowShape_.reset();
    host_.SetWindowShape(nullptr);
  }
}

void CandyButton::Redraw(VisualState state) {
  if (props_.checked) state = VisualState::CheckedDown;
  if (!ready_) return;
  raster_.Clear(systemColors_.Translate(kButtonFaceSystemColor));
  PaintFace(state);
  DrawIconWCaption(state);
}

void CandyButton::PaintFace(VisualState state) {
  const int style = props_.style;
  if (style == kSilver) return PaintSilver(raster_, state, host_.ParentBackground());
  if (style == kFlat) return PaintFlat(raster_, state, host_.ParentBackground());
  if (!IsCandyStyle(style) && style != kGel) return;
  Color base = 0;
  switch (state) {
    case VisualState::Up:
    case VisualState::Focused:
      base = props_.colorButtonUp;
      break;
    case VisualState::Hover:
      base = props_.colorButtonHover;
      break;
    case VisualState::Down:
    case VisualState::CheckedDown:
      base = props_.colorButtonDown;
      break;
    default:
      return;
  }
  base = systemColors_.Translate(base);
  Color bright = systemColors_.Translate(props_.colorBright);
  const int radius = std::max(cornerRadius_, 1);
  if (style == kGel) return PaintGel(raster_, radius, base, bright);
  if (!props_.enabled) {
    base = kDisabledBase;
    bright = kWhite;
  }
  const auto params = CandyParamsFor(style, radius, Width(), Height());
  PaintCandy(raster_, *params, radius, innerShape_, base, bright,
             CandyBorderColor(base, props_.borderBrightness));
}

void CandyButton::DrawIconWCaption(VisualState state) {
  int pictureWidth = 0, pictureHeight = 0, captionWidth = 0, captionHeight = 0;
  if (props_.picture) {
    double w = 0, h = 0;
    surface_.PictureSizeInPixels(*props_.picture, w, h);
    pictureWidth = Round(w);
    pictureHeight = Round(h);
  }
  if (!props_.caption.empty()) {
    const TextExtent extent = surface_.MeasureCaption(props_.caption, props_.font);
    captionWidth = extent.width;
    captionHeight = extent.height;
  }
  const CaptionLayout layout =
      LayoutPictureAndCaption(props_.pictureAlignment, Width(), Height(), cornerRadius_, pictureWidth,
                              pictureHeight, captionWidth, captionHeight, state);
  const bool hovered = state == VisualState::Hover;
  if (!props_.caption.empty()) {
    const Color color = hovered && props_.captionHighLite ? props_.captionHighLiteColor : textColor_;
    surface_.DrawCaption(raster_, layout.captionX, layout.captionY, props_.caption, props_.font,
                         systemColors_.Translate(color), !props_.enabled);
  }
  if (props_.picture && layout.pictureDefined) {
    PictureLook look = PictureLook::Normal;
    if (!props_.enabled) look = PictureLook::Greyed;
    else if (hovered && props_.iconHighLite) look = PictureLook::Silhouette;
    surface_.DrawPicture(raster_, layout.pictureX, layout.pictureY, *props_.picture, look,
                         systemColors_.Translate(props_.iconHighLiteColor));
  }
  lastPainted_ = state;
  host_.Refresh(raster_);
}

}  // namespace zc::candy
