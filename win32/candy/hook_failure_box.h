#pragma once
// Reports a refused message interception: a warning message box and an error entry in
// the application event log.

#include <windows.h>

#include "core/candy/hook_failure.h"

namespace zc::win {

class HookFailureBox : public candy::HookFailureSink {
 public:
  explicit HookFailureBox(HWND owner = nullptr) : owner_(owner) {}
  void Report(const candy::HookFailureReport& report) override;

 private:
  HWND owner_;
};

}  // namespace zc::win
