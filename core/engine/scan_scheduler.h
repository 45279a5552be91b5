#pragma once
// The three timers that drive the checks. Each tick handler stops its own timer while
// its check runs and starts it again at the end, so a check never overlaps itself and
// the next tick comes one interval after the check has finished.

#include <functional>

#include "core/engine/connection_scan.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/service_check.h"
#include "core/engine/window_title_search.h"
#include "core/platform/main_window_view.h"
#include "core/platform/timer_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

class ScanScheduler {
 public:
  // `check2Click` runs the monitoring option's click handling with the option's current
  // state, as when the user clicks it.
  ScanScheduler(const ConstantTexts& texts, TimerApi& timers, RegistryInfectionCheck& registryCheck,
                ServiceCheck& serviceCheck, ConnectionScan& connectionScan, MainWindowView& view,
                WindowEnumApi& windows, std::function<void()> check2Click)
      : texts_(texts), timers_(timers), registryCheck_(registryCheck), serviceCheck_(serviceCheck),
        connectionScan_(connectionScan), view_(view), titleSearch_(windows),
        check2Click_(std::move(check2Click)) {}

  // Registry infection check.
  void Timer1_Timer();
  // Monitoring indicator step, then the service check.
  void Timer2_Timer();
  // Window-title check; the connection scan when no watched window is open.
  void TmrChk_Timer();

 private:
  bool WatchedWindowOpen();

  const ConstantTexts& texts_;
  TimerApi& timers_;
  RegistryInfectionCheck& registryCheck_;
  ServiceCheck& serviceCheck_;
  ConnectionScan& connectionScan_;
  MainWindowView& view_;
  WindowTitleSearch titleSearch_;
  std::function<void()> check2Click_;
};

}  // namespace zc
