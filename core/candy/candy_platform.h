#pragma once
// What the candy button needs from the platform that hosts it: drawing text and
// pictures onto its raster, showing the raster, the window shape, the pointer, the leave
// notification, property-change notices and raised events.

#include <optional>
#include <string_view>

#include "core/base/text.h"
#include "core/candy/candy_types.h"
#include "core/candy/color.h"
#include "core/candy/raster.h"
#include "core/candy/round_shape.h"

namespace zc::candy {

struct TextExtent {
  int width = 0;
  int height = 0;
};

enum class PictureLook { Normal, Greyed, Silhouette };

// Text and pictures, drawn by the platform onto the button's own raster.
class CandySurface {
 public:
  virtual ~CandySurface() = default;
  virtual TextExtent MeasureCaption(TextView caption, const CandyFont& font) = 0;
  // Top-left corner of the text at (x, y). `greyed` asks for the disabled rendering.
  virtual void DrawCaption(Raster& raster, int x, int y, TextView caption, const CandyFont& font,
                           Color color, bool greyed) = 0;
  // The picture's size in pixels (converted from HIMETRIC, not yet rounded).
  virtual void PictureSizeInPixels(const CandyPicture& picture, double& width, double& height) = 0;
  virtual void DrawPicture(Raster& raster, int x, int y, const CandyPicture& picture, PictureLook look,
                           Color silhouette) = 0;
};

class CandyHost {
 public:
  virtual ~CandyHost() = default;
  // The host's property-changed call.
  virtual void PropertyChanged(std::string_view name) = 0;
  // The raster holds a new picture: show it now.
  virtual void Refresh(const Raster& raster) = 0;
  // Sets the window shape; nothing means the full rectangle.
  virtual void SetWindowShape(const PixelMask* shape) = 0;
  // The parent window's background colour, or nothing when it has none.
  virtual std::optional<Color> ParentBackground() = 0;
  // Hand pointer when true, the arrow otherwise.
  virtual void SetHandPointer(bool hand) = 0;
  // Decides whether a leave notification exists and, when it does, starts intercepting
  // the button's own messages (paint before, pointer move and leave after).
  virtual void StartHoverTracking() = 0;
  // Asks the platform for one leave notification.
  virtual void RequestLeaveNotification() = 0;
  virtual void RaiseEvent(const CandyEvent& event) = 0;
};

// Values the host supplies to a control it creates or loads.
struct HostAmbient {
  bool userMode = true;
  Text instanceName;
  CandyFont font;
};

}  // namespace zc::candy
