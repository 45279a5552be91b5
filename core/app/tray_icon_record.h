#pragma once
// The notification-area icon record of the main window, kept for its lifetime and used
// for every add and delete. All zero until the tray button first fills it, so a delete
// before then removes nothing. The window of the callback receiver and the icon handle
// are the Win32 layer's to add.

#include <cstdint>

#include "core/base/text.h"

namespace zc {

struct TrayIconRecord {
  uint32_t iconId = 0;
  uint32_t flags = 0;            // 23: callback message, icon, tip, balloon fields
  uint32_t callbackMessage = 0;  // 512: the callback arrives as a mouse move
  uint32_t balloonTimeoutMs = 0;
  uint32_t balloonIconFlags = 0;  // 1: information icon
  Text balloonText;               // tip and balloon title stay empty
};

inline constexpr uint32_t kTrayIconId = 1;
inline constexpr uint32_t kTrayIconFlags = 23;
inline constexpr uint32_t kTrayCallbackMessage = 512;
inline constexpr uint32_t kTrayBalloonTimeoutMs = 1000;
inline constexpr uint32_t kTrayBalloonInfoIcon = 1;

// Mouse event codes that the icon's callback carries.
inline constexpr int kTrayLeftButtonUp = 514;
inline constexpr int kTrayRightButtonUp = 517;

}  // namespace zc
