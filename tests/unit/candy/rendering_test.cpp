// The renderer against the worked examples of the two main-window buttons and the rules
// every style keeps.
#include <gtest/gtest.h>

#include "core/candy/candy_painters.h"
#include "core/candy/candy_params.h"
#include "core/candy/candy_persistence.h"
#include "core/candy/main_window_buttons.h"
#include "tests/unit/candy/candy_doubles.h"

namespace zc::candy {
namespace {

using testing::ButtonRig;

// A main-window button loaded from its stored values and shaped at its size.
void Load(ButtonRig& rig, const CandyButtonValues& values) {
  MemoryPropertyStore store = StoreOf(values);
  ASSERT_TRUE(ReadProperties(rig.button, store, {true, values.instanceName, values.font}));
  rig.button.SetSize(values.width, values.height);
  rig.button.ApplyShape();
}

TEST(CandyParams, MatchTheWorkedExamplesOfBothMainWindowButtons) {
  EXPECT_EQ(CornerRadiusForStyle(kRounded, 129, 41), 12);
  EXPECT_EQ(CandyParamsFor(kRounded, 12, 129, 41)->p,
            (std::array<int, 12>{0, 70, 4, 0, 10, 12, 153, 200, 80, 64, 41, 130}));
  EXPECT_EQ(CornerRadiusForStyle(kPillGloss, 49, 41), 21);
  EXPECT_EQ(CandyParamsFor(kPillGloss, 21, 49, 41)->p,
            (std::array<int, 12>{0, 70, 6, 0, 10, 21, 91, 200, 70, 24, 41, 130}));
}

TEST(CandyParams, RadiusRulesByStyle) {
  const struct {
    int style, w, h;
    std::optional<int> radius;
  } cases[] = {{kGel, 300, 80, 26},  {kGel, 30, 80, 10},   {kSoftRect, 100, 40, 11}, {kSoftRect, 20, 40, 5},
               {kPill, 100, 40, 21}, {kPillSoft, 30, 40, 15}, {kGel, 2, 2, 1},       {kSilver, 50, 20, {}},
               {kFlat, 50, 20, {}},  {8, 50, 20, {}}};
  for (const auto& c : cases) EXPECT_EQ(CornerRadiusForStyle(c.style, c.w, c.h), c.radius) << c.style;
  // The glow of the Rounded style flattens on low buttons.
  EXPECT_EQ(CandyParamsFor(kRounded, 12, 100, 30)->GlowHeightPercent(), 77);
}

TEST(Rendering, TreatButtonAtRestMatchesItsWorkedExample) {
  ButtonRig rig;
  Load(rig, TreatButtonValues());
  EXPECT_EQ(rig.button.CornerRadius(), 12);
  rig.button.Redraw(VisualState::Up);
  const Raster& r = rig.button.Surface();
  const Color border = Rgb(0, 128, 0);
  for (int x = 0; x < 129; ++x) ASSERT_EQ(r.Pixel(x, 1), border) << x;
  EXPECT_EQ(r.Pixel(9, 2), border);  // before the inner shape starts
  for (int x : {10, 64, 119}) EXPECT_EQ(r.Pixel(x, 2), Rgb(227, 242, 227)) << x;
  EXPECT_EQ(r.Pixel(120, 2), border);
  EXPECT_EQ(r.Pixel(64, 11), Rgb(92, 174, 92));
  EXPECT_EQ(r.Pixel(1, 20), border);
  EXPECT_EQ(r.Pixel(128, 20), border);

  const auto glow = GlowEllipses(*CandyParamsFor(kRounded, 12, 129, 41), 129, 41, Rgb(0, 128, 0), Rgb(0, 255, 0));
  ASSERT_GE(glow.size(), 2u);
  EXPECT_EQ(glow[0], (GlowEllipse{64 - 258, 41 - 33, 64 + 258, 41 + 33, Rgb(0, 128, 0)}));
  EXPECT_EQ(glow[1], (GlowEllipse{64 - 258 + 8, 41 - 33 + 1, 64 + 258 - 8, 41 + 33 - 1, Rgb(0, 138, 0)}));
  EXPECT_EQ(glow.back().color, Rgb(0, 255, 0));  // the glow reaches the bright colour
  // Below the shine the face lightens towards the bottom edge.
  EXPECT_LT(GreenOf(r.Pixel(64, 20)), GreenOf(r.Pixel(64, 39)));
}

TEST(Rendering, CaptionOfTheMainWindowButtonsIsCentredAndMovesWhenPressed) {
  ButtonRig rig;
  Load(rig, TreatButtonValues());
  rig.button.Redraw(VisualState::Up);
  rig.button.Redraw(VisualState::Down);
  ASSERT_EQ(rig.surface.captions.size(), 2u);
  // 7 characters of 7 pixels by 12: (|64 - 24|, |20 - 6|).
  EXPECT_EQ(rig.surface.captions[0].x, 40);
  EXPECT_EQ(rig.surface.captions[0].y, 14);
  EXPECT_EQ(rig.surface.captions[1].x, 41);
  EXPECT_EQ(rig.surface.captions[1].y, 15);
  EXPECT_EQ(rig.surface.captions[0].color, Rgb(255, 255, 255));
}

TEST(Rendering, PictureAndCaptionPositionsByAlignment) {
  const struct {
    int alignment, radius;
    CaptionLayout expected;
  } cases[] = {
      // 100 x 40 face, picture 16 x 16, caption 30 x 12.
      {kPictureAbove, 12, {43, 7, 35, 22, true}},
      {kPictureBelow, 12, {42, 19, 35, 6, true}},
      {kPictureLeft, 12, {12, 13, 35, 14, true}},
      {kPictureLeft, 0, {8, 13, 35, 14, true}},
      {kPictureRight, 12, {72, 13, 35, 14, true}},
      {kPictureRight, 0, {76, 13, 35, 14, true}},
      {9, 12, {0, 0, 0, 0, false}},
  };
  for (const auto& c : cases) {
    const CaptionLayout l = LayoutPictureAndCaption(c.alignment, 100, 40, c.radius, 16, 16, 30, 12, VisualState::Up);
    EXPECT_EQ((std::array{l.pictureX, l.pictureY, l.captionX, l.captionY}),
              (std::array{c.expected.pictureX, c.expected.pictureY, c.expected.captionX, c.expected.captionY}))
        << c.alignment << " " << c.radius;
    EXPECT_EQ(l.pictureDefined, c.expected.pictureDefined);
  }
}

TEST(Rendering, RoundedShapesLeaveColumnZeroAndRowZeroOutside) {
  for (int style = kPill; style <= kSoftRect; ++style) {
    for (auto [w, h] : {std::pair{129, 41}, {49, 41}, {300, 80}, {20, 9}, {64, 64}}) {
      ButtonRig rig;
      rig.button.StoredProperties().style = style;
      rig.button.SetSize(w, h);
      rig.button.ApplyShape();
      ASSERT_TRUE(rig.button.WindowShape());
      const PixelMask& shape = *rig.button.WindowShape();
      for (int y = 0; y < h; ++y) EXPECT_FALSE(shape.Contains(0, y)) << style << " " << w << "x" << h;
      for (int x = 0; x < w; ++x) EXPECT_FALSE(shape.Contains(x, 0)) << style << " " << w << "x" << h;
      EXPECT_TRUE(shape.Contains(w / 2, h / 2));
      // The right half mirrors the left around column W / 2.
      for (int y = 0; y < h; ++y)
        for (int x = 1; x < w; ++x) ASSERT_EQ(shape.Contains(x, y), shape.Contains(w - x, y)) << x << "," << y;
    }
  }
}

TEST(Rendering, BorderFollowsBorderBrightnessAndDisabledCandyTurnsGrey) {
  const struct {
    bool enabled;
    int brightness;
    Color border;
  } cases[] = {{true, 0, Rgb(0, 128, 0)},
               {true, -100, Rgb(0, 0, 0)},
               {true, 100, Rgb(255, 255, 255)},
               {true, 150, Rgb(255, 255, 255)},  // a loaded, unclamped value blends like 100
               {false, 0, Rgb(192, 192, 176)}};
  for (const auto& c : cases) {
    ButtonRig rig;
    Load(rig, TreatButtonValues());
    rig.button.StoredProperties().enabled = c.enabled;
    rig.button.StoredProperties().borderBrightness = c.brightness;
    rig.button.Redraw(VisualState::Up);
    EXPECT_EQ(rig.button.Surface().Pixel(1, 20), c.border) << c.brightness;
    EXPECT_EQ(rig.surface.captions.back().greyed, !c.enabled);
  }
}

TEST(Rendering, DisabledGelKeepsItsColours) {
  ButtonRig enabled, disabled;
  for (ButtonRig* rig : {&enabled, &disabled}) {
    Load(*rig, TreatButtonValues());
    rig->button.StoredProperties().style = kGel;
    rig->button.ApplyShape();
  }
  disabled.button.StoredProperties().enabled = false;
  enabled.button.Redraw(VisualState::Up);
  disabled.button.Redraw(VisualState::Up);
  EXPECT_EQ(enabled.button.Surface().Pixels(), disabled.button.Surface().Pixels());
  EXPECT_TRUE(disabled.surface.captions.back().greyed);
}

TEST(Rendering, StyleOutsideTheLooksShowsOnlyCaptionOnTheClearedSurface) {
  ButtonRig rig;
  Load(rig, TreatButtonValues());
  rig.button.StoredProperties().style = 8;
  rig.button.ApplyShape();
  EXPECT_TRUE(rig.host.lastShapeWasRectangle);
  rig.button.Redraw(VisualState::Hover);
  for (Color c : rig.button.Surface().Pixels()) ASSERT_EQ(c, Rgb(212, 208, 200));
  EXPECT_EQ(rig.surface.captions.size(), 1u);
}

TEST(Rendering, TinyAndEmptyButtonsPaintWithoutFault) {
  for (int style = 0; style <= 8; ++style) {
    for (int w = 0; w <= 7; ++w) {
      for (int h = 0; h <= 7; ++h) {
        ButtonRig rig;
        rig.button.StoredProperties() = {};
        rig.button.StoredProperties().style = style;
        rig.button.StoredProperties().enabled = true;
        rig.button.SetSize(w, h);
        rig.button.SetReady();
        rig.button.ApplyShape();
        for (int state = 0; state <= 5; ++state) rig.button.Redraw(static_cast<VisualState>(state));
      }
    }
  }
}

}  // namespace
}  // namespace zc::candy
