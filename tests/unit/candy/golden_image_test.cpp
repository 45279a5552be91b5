// Every style in every state at one fixed size, compared pixel for pixel with the
// committed pictures in golden/. After a deliberate change of the renderer, rewrite them
// with CANDY_WRITE_GOLDEN=1 and look at them before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/candy/color_scheme.h"
#include "tests/unit/candy/candy_doubles.h"
#include "tests/unit/candy/ppm_image.h"

namespace zc::candy {
namespace {

constexpr int kWidth = 72;
constexpr int kHeight = 30;
constexpr const char* kStateNames[] = {"up", "down", "focused", "hover", "checkeddown"};

Raster Render(int style, VisualState state) {
  testing::ButtonRig rig;
  CandyProperties& p = rig.button.StoredProperties();
  const SchemeColors scheme = *PresetScheme(1);
  p.enabled = true;
  p.style = style;
  p.colorButtonUp = scheme.up;
  p.colorButtonHover = scheme.hover;
  p.colorButtonDown = scheme.down;
  p.colorBright = scheme.bright;
  rig.button.SetSize(kWidth, kHeight);
  rig.button.SetReady();
  rig.button.ApplyShape();
  rig.button.Redraw(state);
  return rig.button.Surface();
}

TEST(GoldenImages, EveryStyleInEveryStateMatchesItsPicture) {
  const bool write = std::getenv("CANDY_WRITE_GOLDEN") != nullptr;
  for (int style = 0; style <= 7; ++style) {
    for (int state = 0; state <= 4; ++state) {
      const std::string path = std::string(CANDY_GOLDEN_DIR) + "/style" + std::to_string(style) + "_" +
                               kStateNames[state] + ".ppm";
      const Raster actual = Render(style, static_cast<VisualState>(state));
      if (write) {
        ASSERT_TRUE(testing::WritePpm(path, actual)) << path;
        continue;
      }
      const auto expected = testing::ReadPpm(path);
      ASSERT_TRUE(expected) << "missing or unreadable " << path;
      ASSERT_EQ(expected->Width(), actual.Width());
      ASSERT_EQ(expected->Height(), actual.Height());
      int differing = 0, firstX = -1, firstY = -1;
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
          if (expected->Pixel(x, y) != actual.Pixel(x, y) && differing++ == 0) firstX = x, firstY = y;
      EXPECT_EQ(differing, 0) << path << ": first difference at " << firstX << "," << firstY;
    }
  }
}

}  // namespace
}  // namespace zc::candy
