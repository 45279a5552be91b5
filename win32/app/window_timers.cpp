#include "win32/app/window_timers.h"

namespace zc::win {

void WindowTimers::StartTimer(TimerId timer) {
  Slot(timer).running = true;
  Apply(timer);
}

void WindowTimers::StopTimer(TimerId timer) {
  Slot(timer).running = false;
  Apply(timer);
}

void WindowTimers::SetTimerInterval(TimerId timer, int milliseconds) {
  Slot(timer).interval = milliseconds;
  Apply(timer);
}

void WindowTimers::Apply(TimerId timer) {
  const UINT_PTR id = static_cast<UINT_PTR>(timer);
  const State& state = Slot(timer);
  if (state.running && state.interval > 0)
    SetTimer(window_, id, static_cast<UINT>(state.interval), nullptr);  // restarts the count
  else
    KillTimer(window_, id);
}

}  // namespace zc::win
