#pragma once
// The two candy buttons of the main window, as the window's design stores them: the
// treat button and the tray button. Both sit on row 280, 41 pixels high, with a bold
// "돋움" caption in white below an (absent) picture, in the colours of a preset scheme.

#include "core/candy/candy_button_values.h"
#include "core/candy/color_scheme.h"

namespace zc::candy {

// The character set the Korean fonts are stored with.
inline constexpr int kHangulCharset = 129;

struct MainWindowButtonDesign {
  const char16_t* instanceName;
  int left, width, extentX;
  const char16_t* caption;
  double fontPoints;
  int style;
  int colorScheme;
};

inline CandyButtonValues MainWindowButton(const MainWindowButtonDesign& design) {
  CandyButtonValues v;
  v.instanceName = design.instanceName;
  v.left = design.left, v.top = 280, v.width = design.width, v.height = 41;
  v.extentX = design.extentX, v.extentY = 1085;
  v.caption = design.caption;
  v.font = CandyFont{u"돋움", design.fontPoints, 700, false, false, false, kHangulCharset};
  v.style = design.style;
  v.pictureAlignment = kPictureBelow;
  v.foreColor = Rgb(255, 255, 255);
  v.colorScheme = design.colorScheme;
  const SchemeColors scheme = PresetScheme(design.colorScheme).value_or(SchemeColors{});
  v.colorButtonUp = scheme.up, v.colorButtonHover = scheme.hover;
  v.colorButtonDown = scheme.down, v.colorBright = scheme.bright;
  return v;  // highlight colours 0,0,0, border 0, not checked, arrow pointer
}

inline CandyButtonValues TreatButtonValues() {
  return MainWindowButton({u"CandyButton1", 456, 129, 3413, u"좀비 치료하기", 11.25, kRounded, 5});
}

inline CandyButtonValues TrayButtonValues() {
  return MainWindowButton({u"CandyButton2", 608, 49, 1296, u"트레이", 8.25, kPillGloss, 4});
}

}  // namespace zc::candy
