#pragma once
// The three timers as flags and intervals, with the calls in order.

#include <map>
#include <utility>
#include <vector>

#include "core/platform/timer_api.h"

namespace zc::fakes {

class FakeTimers : public TimerApi {
 public:
  struct State {
    bool running = false;
    int interval = 300;
  };
  std::map<TimerId, State> timers{{TimerId::Timer1, {true, 300}},
                                  {TimerId::Timer2, {true, 300}},
                                  {TimerId::TmrChk, {false, 300}}};
  std::vector<std::pair<char, TimerId>> calls;  // ('+' start, '-' stop, '=' interval)

  void StartTimer(TimerId timer) override {
    calls.emplace_back('+', timer);
    timers[timer].running = true;
  }
  void StopTimer(TimerId timer) override {
    calls.emplace_back('-', timer);
    timers[timer].running = false;
  }
  void SetTimerInterval(TimerId timer, int milliseconds) override {
    calls.emplace_back('=', timer);
    timers[timer].interval = milliseconds;
  }
  bool Running(TimerId timer) const {
    const auto& s = timers.at(timer);
    return s.running && s.interval > 0;
  }
};

}  // namespace zc::fakes
