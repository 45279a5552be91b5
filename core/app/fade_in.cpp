#include "core/app/fade_in.h"

namespace zc {

void FadeIn(FadeTarget& window, EventPump& pump) {
  window.SetWindowEnabled(false);
  window.SetLayeredStyle(true);
  window.SetLayeredOpacity(0);
  window.ShowMainWindow();
  for (int opacity = kFadeFirstOpacity; opacity <= kFadeLastOpacity; opacity += kFadeOpacityStep) {
    const uint64_t stepBegan = pump.NowMilliseconds();
    pump.ProcessPendingEvents();
    while (pump.NowMilliseconds() - stepBegan < kFadeStepMilliseconds) {
      pump.Sleep(1);
      pump.ProcessPendingEvents();
    }
    window.SetLayeredOpacity(static_cast<uint8_t>(opacity));
    pump.ProcessPendingEvents();
  }
  // The last step set 253; without the layered style the window is fully opaque.
  window.SetLayeredStyle(false);
  window.SetWindowEnabled(true);
}

}  // namespace zc
