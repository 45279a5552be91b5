#pragma once
// The main window's three scan timers.

namespace zc {

enum class TimerId : int {
  Timer1 = 1,  // registry infection check
  Timer2 = 2,  // monitoring indicator and service check
  TmrChk = 3,  // window-title check, else connection scan
};

class TimerApi {
 public:
  virtual ~TimerApi() = default;
  virtual void StartTimer(TimerId timer) = 0;
  virtual void StopTimer(TimerId timer) = 0;
  // An interval of 0 stops the timer for good until a non-zero interval is set.
  virtual void SetTimerInterval(TimerId timer, int milliseconds) = 0;
};

}  // namespace zc
