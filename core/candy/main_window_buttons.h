#pragma once
// The two candy buttons of the main window, as the window's design stores them: the
// treat button and the tray button.

#include "core/candy/candy_button_values.h"

namespace zc::candy {

// The character set the Korean fonts are stored with.
inline constexpr int kHangulCharset = 129;

inline CandyButtonValues TreatButtonValues() {
  CandyButtonValues v;
  v.instanceName = u"CandyButton1";
  v.left = 456, v.top = 280, v.width = 129, v.height = 41;
  v.extentX = 3413, v.extentY = 1085;
  v.caption = u"좀비 치료하기";
  v.font = CandyFont{u"돋움", 11.25, 700, false, false, false, kHangulCharset};
  v.style = kRounded;
  v.pictureAlignment = kPictureBelow;
  v.foreColor = Rgb(255, 255, 255);
  v.colorScheme = 5;
  v.colorButtonUp = Rgb(0, 128, 0), v.colorButtonHover = Rgb(0, 160, 0);
  v.colorButtonDown = Rgb(0, 192, 0), v.colorBright = Rgb(0, 255, 0);
  return v;
}

inline CandyButtonValues TrayButtonValues() {
  CandyButtonValues v;
  v.instanceName = u"CandyButton2";
  v.left = 608, v.top = 280, v.width = 49, v.height = 41;
  v.extentX = 1296, v.extentY = 1085;
  v.caption = u"트레이";
  v.font = CandyFont{u"돋움", 8.25, 700, false, false, false, kHangulCharset};
  v.style = kPillGloss;
  v.pictureAlignment = kPictureBelow;
  v.foreColor = Rgb(255, 255, 255);
  v.colorScheme = 4;
  v.colorButtonUp = Rgb(128, 0, 0), v.colorButtonHover = Rgb(160, 0, 0);
  v.colorButtonDown = Rgb(240, 0, 0), v.colorBright = Rgb(255, 0, 0);
  return v;
}

}  // namespace zc::candy
