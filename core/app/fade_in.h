#pragma once
// The fade with which the main window first appears: disabled and layered, shown at
// opacity 0, brought up in 37 steps (1, 8, 15, ... 253) of at least 6 ms each while
// pending events go through, then the layered style is removed (fully opaque) and the
// window is enabled again.

#include <cstdint>

#include "core/app/event_pump.h"

namespace zc {

class FadeTarget {
 public:
  virtual ~FadeTarget() = default;
  virtual void SetWindowEnabled(bool enabled) = 0;
  // Adds or removes the layered-window style in the window's extended style.
  virtual void SetLayeredStyle(bool layered) = 0;
  virtual void SetLayeredOpacity(uint8_t opacity) = 0;
  virtual void ShowMainWindow() = 0;
};

inline constexpr int kFadeFirstOpacity = 1;
inline constexpr int kFadeOpacityStep = 7;
inline constexpr int kFadeLastOpacity = 255;  // steps go while not above this
inline constexpr uint64_t kFadeStepMilliseconds = 6;

void FadeIn(FadeTarget& window, EventPump& pump);

}  // namespace zc
