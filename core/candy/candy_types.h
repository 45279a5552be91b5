#pragma once
// Small value types shared by the candy button's model, renderer and interaction.

#include <cstdint>
#include <memory>

#include "core/base/text.h"

namespace zc::candy {

// The look a repaint is asked for. Values above CheckedDown paint no face.
enum class VisualState : int { Up = 0, Down = 1, Focused = 2, Hover = 3, CheckedDown = 4 };

// Style values: look and window shape. Any other value draws no face.
enum Style : int {
  kSilver = 0,
  kFlat = 1,
  kPill = 2,
  kRounded = 3,
  kPillGloss = 4,
  kPillSoft = 5,
  kGel = 6,
  kSoftRect = 7,
};

// Picture position relative to the caption.
enum PictureAlignment : int {
  kPictureAbove = 0,
  kPictureBelow = 1,
  kPictureLeft = 2,
  kPictureRight = 3,
};

struct CandyFont {
  Text name;
  double sizePoints = 8.25;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 1;  // the default character set
  bool operator==(const CandyFont&) const = default;
};

// A bitmap or icon owned by the platform; the core only knows its size.
class CandyPicture {
 public:
  virtual ~CandyPicture() = default;
  virtual int WidthHimetric() const = 0;
  virtual int HeightHimetric() const = 0;
};
using PictureRef = std::shared_ptr<const CandyPicture>;

// Events in their declared order. Status is declared but never raised.
enum class CandyEventKind { Status, Click, DblClick, MouseEnter, MouseLeave, MouseMove, MouseUp, MouseDown };

struct CandyEvent {
  CandyEventKind kind = CandyEventKind::Status;
  int16_t button = 0;  // MouseMove/Up/Down only
  int16_t shift = 0;
  float x = 0;
  float y = 0;
  bool operator==(const CandyEvent&) const = default;
};

}  // namespace zc::candy
