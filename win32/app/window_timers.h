#pragma once
// The three scan timers as window timers of the main window (WM_TIMER with the timer's
// number). Each keeps its interval; an interval of 0 keeps it stopped until a non-zero
// interval is set.

#include <windows.h>

#include <array>

#include "core/platform/timer_api.h"

namespace zc::win {

class WindowTimers : public TimerApi {
 public:
  static constexpr int kDefaultIntervalMs = 300;

  void Attach(HWND window) { window_ = window; }

  void StartTimer(TimerId timer) override;
  void StopTimer(TimerId timer) override;
  void SetTimerInterval(TimerId timer, int milliseconds) override;

  bool IsRunning(TimerId timer) const { return Slot(timer).running; }

 private:
  struct State {
    bool running = false;
    int interval = kDefaultIntervalMs;
  };
  State& Slot(TimerId timer) { return states_[static_cast<size_t>(timer)]; }
  const State& Slot(TimerId timer) const { return states_[static_cast<size_t>(timer)]; }
  void Apply(TimerId timer);

  HWND window_ = nullptr;
  std::array<State, 4> states_{};  // indexed by the timer's number, 1 to 3
};

}  // namespace zc::win
