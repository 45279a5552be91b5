#pragma once
// Test doubles of the candy button's platform: a host that records what the button asks
// of it, a text and picture drawer that only measures, and plain system colours.

#include <string>
#include <vector>

#include "core/candy/candy_button.h"
#include "core/candy/candy_platform.h"

namespace zc::candy::testing {

class RecordingHost : public CandyHost {
 public:
  const CandyButton* button = nullptr;  // to read the state of each shown picture
  std::vector<std::string> notices;
  std::vector<VisualState> painted;
  std::vector<CandyEvent> events;
  int shapesSet = 0;
  bool lastShapeWasRectangle = false;
  int leaveRequests = 0;
  int trackingStarts = 0;
  std::optional<bool> handPointer;
  std::optional<Color> parentBackground = Rgb(40, 40, 40);

  void PropertyChanged(std::string_view name) override { notices.emplace_back(name); }
  void Refresh(const Raster&) override {
    if (button && button->LastPainted()) painted.push_back(*button->LastPainted());
  }
  void SetWindowShape(const PixelMask* shape) override {
    ++shapesSet;
    lastShapeWasRectangle = shape == nullptr;
  }
  std::optional<Color> ParentBackground() override { return parentBackground; }
  void SetHandPointer(bool hand) override { handPointer = hand; }
  void StartHoverTracking() override { ++trackingStarts; }
  void RequestLeaveNotification() override { ++leaveRequests; }
  void RaiseEvent(const CandyEvent& event) override { events.push_back(event); }
};

// Measures every caption as 7 pixels a character by 12; draws nothing unless asked to
// mark the caption's box.
class MeasuringSurface : public CandySurface {
 public:
  struct Drawn {
    int x, y;
    Color color;
    bool greyed;
  };
  std::vector<Drawn> captions;
  TextExtent MeasureCaption(TextView caption, const CandyFont&) override {
    return {static_cast<int>(caption.size()) * 7, 12};
  }
  void DrawCaption(Raster&, int x, int y, TextView, const CandyFont&, Color color, bool greyed) override {
    captions.push_back({x, y, color, greyed});
  }
  void PictureSizeInPixels(const CandyPicture& picture, double& width, double& height) override {
    width = picture.WidthHimetric() * 96 / 2540.0;
    height = picture.HeightHimetric() * 96 / 2540.0;
  }
  void DrawPicture(Raster&, int, int, const CandyPicture&, PictureLook, Color) override {}
};

// Plain colours pass; every system colour reads as 212,208,200.
class PlainSystemColors : public SystemColors {
 public:
  Color Translate(Color color) override { return IsSystemColor(color) ? Rgb(212, 208, 200) : color; }
};

// A button wired to the doubles above.
struct ButtonRig {
  RecordingHost host;
  MeasuringSurface surface;
  PlainSystemColors colors;
  CandyButton button{host, surface, colors};
  ButtonRig() { host.button = &button; }
};

}  // namespace zc::candy::testing
