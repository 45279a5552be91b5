// Creation without stored values, loading with read defaults, saving with write defaults.
#include <gtest/gtest.h>

#include "core/candy/candy_persistence.h"
#include "core/candy/main_window_buttons.h"
#include "tests/unit/candy/candy_doubles.h"

namespace zc::candy {
namespace {

using testing::ButtonRig;

HostAmbient Ambient(bool userMode) { return {userMode, u"CandyButton7", CandyFont{u"Ambient", 9, 400}}; }

TEST(InitProperties, DesignModeGetsDesignColoursAndEveryModeTheInstanceName) {
  ButtonRig design;
  InitProperties(design.button, Ambient(false));
  EXPECT_TRUE(design.button.Properties().enabled);
  EXPECT_EQ(design.button.Properties().colorButtonUp, Rgb(80, 153, 233));
  EXPECT_EQ(design.button.Properties().colorButtonHover, Rgb(144, 192, 255));
  EXPECT_EQ(design.button.Properties().caption, u"CandyButton7");
  EXPECT_TRUE(design.button.Ready());

  ButtonRig user;
  InitProperties(user.button, Ambient(true));
  EXPECT_EQ(user.button.Properties().caption, u"CandyButton7");
  EXPECT_EQ(user.button.Properties().colorButtonUp, 0u);
  EXPECT_EQ(user.button.Properties().style, 0);
}

TEST(ReadProperties, AbsentKeysLoadTheirDefaultsInTheFixedOrder) {
  ButtonRig rig;
  MemoryPropertyStore store;
  ASSERT_TRUE(ReadProperties(rig.button, store, Ambient(true)));
  const auto& p = rig.button.Properties();
  EXPECT_TRUE(p.enabled);
  EXPECT_EQ(p.caption, u"CandyButton");
  EXPECT_EQ(p.font.name, u"Ambient");
  EXPECT_EQ(p.colorButtonUp, Rgb(80, 153, 233));
  EXPECT_EQ(p.colorButtonDown, Rgb(80, 153, 233));
  EXPECT_EQ(p.colorButtonHover, Rgb(144, 192, 255));
  EXPECT_EQ(p.colorBright, Rgb(176, 237, 255));
  EXPECT_EQ(p.captionHighLiteColor, Rgb(0, 255, 0));
  EXPECT_EQ(store.readOrder,
            (std::vector<Text>{u"enabled", u"font", u"caption", u"captionhighlite", u"captionhighlitecolor",
                               u"iconhighlite", u"iconhighlitecolor", u"forecolor", u"picture",
                               u"picturealignment", u"style", u"checked", u"colorbuttonhover", u"colorbuttonup",
                               u"colorbuttondown", u"colorbright", u"borderbrightness", u"displayhand",
                               u"colorscheme"}));
  EXPECT_EQ(rig.host.trackingStarts, 1);
  EXPECT_EQ(rig.host.handPointer, false);
  EXPECT_TRUE(rig.button.Ready());
  EXPECT_TRUE(rig.host.painted.empty());  // loading never paints
}

TEST(ReadProperties, StoresValuesAsTheyStandWithoutSetters) {
  ButtonRig rig;
  MemoryPropertyStore store;
  store.Put(u"BORDERBRIGHTNESS", int32_t{150});  // keys ignore case
  store.Put(u"ColorScheme", int32_t{4});
  store.Put(u"ColorButtonUp", int32_t{0x0000FF});
  store.Put(u"DisplayHand", true);
  store.Put(u"ForeColor", int32_t{0xFFFFFF});
  store.Put(u"Style", u"not a number");  // wrong kind: counts as absent
  ASSERT_TRUE(ReadProperties(rig.button, store, Ambient(false)));
  const auto& p = rig.button.Properties();
  EXPECT_EQ(p.borderBrightness, 150);
  EXPECT_EQ(p.colorScheme, 4);
  EXPECT_EQ(p.colorButtonUp, Rgb(255, 0, 0));  // no scheme side effect
  EXPECT_EQ(p.style, 0);
  EXPECT_EQ(rig.button.TextColor(), Rgb(255, 255, 255));
  EXPECT_EQ(rig.host.handPointer, true);
  EXPECT_EQ(rig.host.trackingStarts, 0);  // design mode
  EXPECT_TRUE(rig.host.notices.empty());
}

TEST(ReadProperties, AStoreFailureEndsTheLoadKeepingWhatWasRead) {
  ButtonRig rig;
  MemoryPropertyStore store;
  store.Put(u"Caption", Text(u"kept"));
  store.failFromCall = 3;
  EXPECT_FALSE(ReadProperties(rig.button, store, Ambient(true)));
  EXPECT_EQ(rig.button.Properties().caption, u"kept");
  EXPECT_FALSE(rig.button.Ready());
  EXPECT_EQ(rig.host.trackingStarts, 0);
}

TEST(WriteProperties, LeavesOutDefaultsButAlwaysWritesStateAndColours) {
  ButtonRig rig;
  MemoryPropertyStore empty;
  ASSERT_TRUE(ReadProperties(rig.button, empty, Ambient(true)));
  MemoryPropertyStore store;
  ASSERT_TRUE(WriteProperties(rig.button, store, Ambient(true)));
  for (const char16_t* absent : {u"Enabled", u"Picture", u"IconHighLite", u"CaptionHighLite", u"Caption", u"Font"})
    EXPECT_FALSE(store.Has(absent)) << ToUtf8(absent);
  for (const char16_t* present : {u"Checked", u"ColorButtonHover", u"ColorButtonUp", u"ColorButtonDown",
                                  u"ColorBright", u"BorderBrightness", u"DisplayHand", u"ColorScheme"})
    EXPECT_TRUE(store.Has(present)) << ToUtf8(present);
  EXPECT_EQ(store.writeOrder,
            (std::vector<Text>{u"enabled", u"font", u"caption", u"iconhighlite", u"iconhighlitecolor",
                               u"captionhighlite", u"captionhighlitecolor", u"forecolor", u"picture",
                               u"picturealignment", u"style", u"checked", u"colorbuttonhover", u"colorbuttonup",
                               u"colorbuttondown", u"borderbrightness", u"colorbright", u"displayhand",
                               u"colorscheme"}));

  MemoryPropertyStore failing;
  failing.failFromCall = 0;
  EXPECT_FALSE(WriteProperties(rig.button, failing, Ambient(true)));
}

TEST(WriteProperties, WhatIsSavedLoadsBackUnchanged) {
  ButtonRig original;
  MemoryPropertyStore design = StoreOf(TrayButtonValues());
  ASSERT_TRUE(ReadProperties(original.button, design, Ambient(true)));
  CandyProperties& p = original.button.StoredProperties();
  p.enabled = false;
  p.iconHighLite = true;
  p.checked = true;
  p.borderBrightness = -40;
  p.displayHand = true;
  MemoryPropertyStore saved;
  ASSERT_TRUE(WriteProperties(original.button, saved, Ambient(true)));
  ButtonRig copy;
  ASSERT_TRUE(ReadProperties(copy.button, saved, Ambient(true)));
  const CandyProperties& q = copy.button.Properties();
  EXPECT_EQ(q.caption, p.caption);
  EXPECT_EQ(q.font, p.font);
  EXPECT_EQ((std::array{q.enabled, q.iconHighLite, q.captionHighLite, q.checked, q.displayHand}),
            (std::array{p.enabled, p.iconHighLite, p.captionHighLite, p.checked, p.displayHand}));
  EXPECT_EQ((std::array{q.style, q.pictureAlignment, q.colorScheme, q.borderBrightness}),
            (std::array{p.style, p.pictureAlignment, p.colorScheme, p.borderBrightness}));
  EXPECT_EQ((std::array{q.colorButtonUp, q.colorButtonHover, q.colorButtonDown, q.colorBright, q.foreColor,
                        q.iconHighLiteColor, q.captionHighLiteColor}),
            (std::array{p.colorButtonUp, p.colorButtonHover, p.colorButtonDown, p.colorBright, p.foreColor,
                        p.iconHighLiteColor, p.captionHighLiteColor}));
}

TEST(MainWindowButtons, LoadTheirStoredValues) {
  const struct {
    CandyButtonValues values;
    Text caption;
    int style;
    Color up, down;
    double points;
  } cases[] = {{TreatButtonValues(), u"좀비 치료하기", kRounded, Rgb(0, 128, 0), Rgb(0, 192, 0), 11.25},
               {TrayButtonValues(), u"트레이", kPillGloss, Rgb(128, 0, 0), Rgb(240, 0, 0), 8.25}};
  for (const auto& c : cases) {
    ButtonRig rig;
    MemoryPropertyStore store = StoreOf(c.values);
    ASSERT_TRUE(ReadProperties(rig.button, store, Ambient(true)));
    const auto& p = rig.button.Properties();
    EXPECT_EQ(p.caption, c.caption);
    EXPECT_EQ(p.style, c.style);
    EXPECT_EQ(p.colorButtonUp, c.up);
    EXPECT_EQ(p.colorButtonDown, c.down);
    EXPECT_EQ(p.font.name, u"돋움");
    EXPECT_EQ(p.font.weight, 700);
    EXPECT_EQ(p.font.sizePoints, c.points);
    EXPECT_EQ(p.pictureAlignment, kPictureBelow);
    EXPECT_EQ(p.foreColor, Rgb(255, 255, 255));
    EXPECT_EQ(p.captionHighLiteColor, 0u);
    EXPECT_TRUE(p.enabled);
    EXPECT_FALSE(p.checked);
    EXPECT_EQ(c.values.width * 15 * 2540 / 1440, c.values.extentX);  // pixels and HIMETRIC agree
  }
}

}  // namespace
}  // namespace zc::candy
