#pragma once
// Reports a refused message interception: a warning message box and an error event of
// the program's own event source (event 1900, the entry as its text).

#include <windows.h>

#include "core/candy/hook_failure.h"
#include "core/platform/event_log_api.h"

namespace zc::win {

class HookFailureBox : public candy::HookFailureSink {
 public:
  // `events`: where the error event goes; null for the program's event source.
  explicit HookFailureBox(HWND owner = nullptr, EventLogApi* events = nullptr) : owner_(owner), events_(events) {}
  void Report(const candy::HookFailureReport& report) override;

 private:
  HWND owner_;
  EventLogApi* events_;
};

}  // namespace zc::win
