// Colour routines, preset schemes, the setters' stores, notices and repaints, and the
// texts of the message interception's reports.
#include <gtest/gtest.h>

#include "core/candy/candy_button.h"
#include "core/candy/color.h"
#include "core/candy/color_scheme.h"
#include "core/candy/hook_failure.h"
#include "tests/unit/candy/candy_doubles.h"

namespace zc::candy {
namespace {

using testing::ButtonRig;

TEST(BlendColors, MixesChannelsAndClampsThePercentageInTheCallersVariable) {
  const struct {
    Color c1, c2;
    int percent;
    Color expected;
    int percentAfter;
  } cases[] = {
      {Rgb(255, 255, 255), Rgb(0, 128, 0), 50, Rgb(128, 192, 128), 50},
      {Rgb(255, 255, 255), Rgb(0, 128, 0), 11, Rgb(227, 242, 227), 11},  // truncates toward zero
      {Rgb(10, 20, 30), Rgb(200, 100, 0), 130, Rgb(200, 100, 0), 100},
      {Rgb(10, 20, 30), Rgb(200, 100, 0), -5, Rgb(10, 20, 30), 0},
      {Rgb(0, 128, 0), Rgb(0, 255, 0), 8, Rgb(0, 138, 0), 8},
  };
  for (const auto& c : cases) {
    int percent = c.percent;
    EXPECT_EQ(BlendColors(c.c1, c.c2, percent), c.expected) << c.percent;
    EXPECT_EQ(percent, c.percentAfter);
  }
}

TEST(GetRGB, SplitsPlainColoursAndTranslatesSystemColours) {
  testing::PlainSystemColors colors;
  int r = -1, g = -1, b = -1;
  GetRGB(r, g, b, Rgb(1, 2, 3), colors);
  EXPECT_EQ((std::array{r, g, b}), (std::array{1, 2, 3}));
  GetRGB(r, g, b, kButtonFaceSystemColor, colors);
  EXPECT_EQ((std::array{r, g, b}), (std::array{212, 208, 200}));
}

TEST(ColorScheme, PresetSetsTheFourColoursThroughTheirSettersThenStoresTheNumber) {
  ButtonRig rig;
  rig.button.SetColorScheme(4);
  const auto& p = rig.button.Properties();
  EXPECT_EQ(p.colorButtonUp, Rgb(128, 0, 0));
  EXPECT_EQ(p.colorButtonHover, Rgb(160, 0, 0));
  EXPECT_EQ(p.colorButtonDown, Rgb(240, 0, 0));
  EXPECT_EQ(p.colorBright, Rgb(255, 0, 0));
  EXPECT_EQ(p.colorScheme, 4);
  EXPECT_EQ(rig.host.notices, (std::vector<std::string>{"m_ColorButtonUp", "m_ColorButtonHover",
                                                        "m_ColorButtonDown", "m_ColorBright", "m_ColorScheme"}));

  // A single colour afterwards drops the scheme, announcing that first.
  rig.host.notices.clear();
  rig.button.SetColorButtonUp(Rgb(1, 2, 3));
  EXPECT_EQ(p.colorScheme, 0);
  EXPECT_EQ(rig.host.notices, (std::vector<std::string>{"m_ColorScheme", "m_ColorButtonUp"}));
}

TEST(ColorScheme, NumbersWithoutPresetChangeNoColourButAreStored) {
  for (int scheme : {0, 7, -3}) {
    ButtonRig rig;
    rig.button.SetColorButtonUp(Rgb(9, 9, 9));
    rig.button.SetColorScheme(scheme);
    EXPECT_EQ(rig.button.Properties().colorButtonUp, Rgb(9, 9, 9));
    EXPECT_EQ(rig.button.Properties().colorScheme, scheme);
  }
  EXPECT_EQ(PresetScheme(1)->bright, Rgb(176, 237, 255));
  EXPECT_EQ(PresetScheme(6)->down, Rgb(192, 192, 0));
}

TEST(Setters, ClampBorderBrightnessAndRepaintOnlyWhereTheyShould) {
  ButtonRig rig;
  rig.button.SetSize(40, 20);
  rig.button.SetReady();
  rig.button.SetBorderBrightness(150);
  EXPECT_EQ(rig.button.Properties().borderBrightness, 100);
  rig.button.SetBorderBrightness(-150);
  EXPECT_EQ(rig.button.Properties().borderBrightness, -100);

  const size_t before = rig.host.painted.size();
  rig.button.SetStyle(0);             // unchanged: nothing
  rig.button.SetPictureAlignment(0);  // unchanged: nothing
  rig.button.SetDisplayHand(true);    // stored only
  rig.button.SetIconHighLite(true);   // notice, no repaint
  rig.button.SetCaptionHighLiteColor(Rgb(1, 1, 1));
  EXPECT_EQ(rig.host.painted.size(), before);
  EXPECT_EQ(rig.host.notices.back(), "CaptionHighLiteColor");

  rig.button.SetStyle(kGel);
  EXPECT_EQ(rig.host.painted.size(), before + 1);
  EXPECT_EQ(rig.button.CornerRadius(), 6);  // the shape follows the style
}

TEST(Setters, CheckedRepaintsCheckedDownOrHoverOrUpBeforeItsNotice) {
  ButtonRig rig;
  rig.button.SetSize(40, 20);
  rig.button.SetReady();
  rig.button.SetChecked(true);
  rig.button.SetHover(true);
  rig.button.SetChecked(false);
  rig.button.SetHover(false);
  rig.button.SetChecked(false);
  EXPECT_EQ(rig.host.painted,
            (std::vector<VisualState>{VisualState::CheckedDown, VisualState::Hover, VisualState::Up}));
  EXPECT_EQ(rig.host.notices.back(), "Checked");
}

TEST(Setters, NothingPaintsBeforeTheButtonIsReady) {
  ButtonRig rig;
  rig.button.SetSize(40, 20);
  rig.button.SetCaption(u"x");
  rig.button.SetForeColor(Rgb(255, 0, 0));
  EXPECT_TRUE(rig.host.painted.empty());
  EXPECT_EQ(rig.button.TextColor(), Rgb(255, 0, 0));
  EXPECT_EQ(rig.host.notices, (std::vector<std::string>{"Caption", "ForeColor"}));
}

TEST(HookFailure, BoxTextTitleAndLogEntryOfEachOperation) {
  const struct {
    HookOperation operation;
    HookError error;
    uint32_t detail;
    const char16_t* text;
    const char16_t* title;
  } cases[] = {
      {HookOperation::Start, HookError::AllocationFailed, 8, u"VirtualAlloc failed, error: 8.",
       u"Error in CandyButton.sc_Subclass"},
      {HookOperation::Start, HookError::ProcedureNotReplaced, 1400, u"SetWindowLong failed, error #1400.",
       u"Error in CandyButton.sc_Subclass"},
      {HookOperation::DeleteMessage, HookError::MessageNotFound, 0x2A3, u"Message &H2A3 not found in table.",
       u"Error in CandyButton.zDelMsg"},
      {HookOperation::Find, HookError::NotStarted, 0, u"Subclassing hasn't been started.",
       u"Error in CandyButton.zMap_hWnd"},
  };
  for (const auto& c : cases) {
    const HookFailureReport report = DescribeHookFailure(c.operation, c.error, c.detail);
    EXPECT_EQ(report.boxText, c.text);
    EXPECT_EQ(report.boxTitle, c.title);
  }
  EXPECT_EQ(DescribeHookFailure(HookOperation::Stop, HookError::NotIntercepted).logEntry,
            u"CandyButton.sc_UnSubclass: Window handle isn't subclassed");
}

}  // namespace
}  // namespace zc::candy
