#pragma once
// The candy button's model: its public properties with their setters (store, notify the
// host, repaint), its persistent raster and shapes, and the repaint itself. Pointer,
// keyboard and focus reactions live in CandyInteraction; stored values in
// candy_persistence.h.

#include <optional>
#include <string_view>

#include "core/base/text.h"
#include "core/candy/candy_platform.h"
#include "core/candy/candy_types.h"
#include "core/candy/color.h"
#include "core/candy/raster.h"
#include "core/candy/round_shape.h"

namespace zc::candy {

// Every public property. A fresh set holds the zero values (style 0, alignment 0, colours
// 0,0,0, booleans false, no picture).
struct CandyProperties {
  bool displayHand = false;
  bool enabled = false;
  int colorScheme = 0;
  int borderBrightness = 0;
  bool iconHighLite = false;
  Color iconHighLiteColor = 0;
  bool captionHighLite = false;
  Color captionHighLiteColor = 0;
  Color colorBright = 0;
  Color colorButtonDown = 0;
  Color colorButtonUp = 0;
  Color colorButtonHover = 0;
  Color foreColor = 0;
  PictureRef picture;
  bool checked = false;
  int style = 0;
  int pictureAlignment = 0;
  Text caption;
  CandyFont font;
};

// Where picture and caption go for one repaint.
struct CaptionLayout {
  int pictureX = 0;
  int pictureY = 0;
  int captionX = 0;
  int captionY = 0;
  bool pictureDefined = true;  // false for an alignment outside 0..3
};

// Positions of picture and caption in a width x height face (radius R, 0 when the style
// is rectangular); missing items have size 0. In Down everything moves one pixel right
// and down.
CaptionLayout LayoutPictureAndCaption(int alignment, int width, int height, int radius,
                                      int pictureWidth, int pictureHeight, int captionWidth,
                                      int captionHeight, VisualState state);

class CandyButton {
 public:
  CandyButton(CandyHost& host, CandySurface& surface, SystemColors& systemColors);

  // --- properties -------------------------------------------------------------------
  const CandyProperties& Properties() const { return props_; }
  // Direct access for creation and loading, which store without the setters.
  CandyProperties& StoredProperties() { return props_; }

  void SetDisplayHand(bool value);
  void SetEnabled(bool value);
  void SetColorScheme(int value);
  void SetBorderBrightness(int value);
  void SetIconHighLite(bool value);
  void SetIconHighLiteColor(Color value);
  void SetCaptionHighLite(bool value);
  void SetCaptionHighLiteColor(Color value);
  void SetColorBright(Color value);
  void SetColorButtonDown(Color value);
  void SetColorButtonUp(Color value);
  void SetColorButtonHover(Color value);
  void SetForeColor(Color value);
  void SetPicture(PictureRef value);
  void SetChecked(bool value);
  void SetStyle(int value);
  void SetPictureAlignment(int value);
  void SetCaption(TextView value);
  void SetFont(const CandyFont& value);

  // The control's drawing text colour (follows ForeColor).
  Color TextColor() const { return textColor_; }
  void SetTextColor(Color value) { textColor_ = value; }

  // --- size, shape, painting --------------------------------------------------------
  // The control's inner size in pixels; the raster follows. Does not repaint.
  void SetSize(int width, int height);
  int Width() const { return raster_.Width(); }
  int Height() const { return raster_.Height(); }

  void Redraw(VisualState state);
  void ApplyShape();
  void DrawIconWCaption(VisualState state);

  const Raster& Surface() const { return raster_; }
  // The state of the latest picture shown, nothing before the first.
  std::optional<VisualState> LastPainted() const { return lastPainted_; }
  int CornerRadius() const { return cornerRadius_; }
  // The rounded region one pixel inside the window shape; empty for rectangular styles.
  const PixelMask& InnerShape() const { return innerShape_; }
  // The window shape, or nothing for the full rectangle.
  const std::optional<PixelMask>& WindowShape() const { return windowShape_; }

  // --- internal state ---------------------------------------------------------------
  bool Ready() const { return ready_; }
  void SetReady() { ready_ = true; }
  bool Hover() const { return hover_; }
  void SetHover(bool value) { hover_ = value; }
  bool Focus() const { return focus_; }
  void SetFocus(bool value) { focus_ = value; }

  CandyHost& Host() { return host_; }

 private:
  void SetSchemeColor(Color& slot, Color value, std::string_view notice);
  void PaintFace(VisualState state);

  CandyHost& host_;
  CandySurface& surface_;
  SystemColors& systemColors_;
  CandyProperties props_;
  Color textColor_ = 0;
  Raster raster_;
  int cornerRadius_ = 0;
  PixelMask innerShape_;
  std::optional<PixelMask> windowShape_;
  std::optional<VisualState> lastPainted_;
  bool ready_ = false;
  bool hover_ = false;
  bool focus_ = false;
};

}  // namespace zc::candy
