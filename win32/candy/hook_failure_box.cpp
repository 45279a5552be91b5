#include "win32/candy/hook_failure_box.h"

#include <string>

#include "core/platform/event_ids.h"
#include "core/texts/constant_texts.h"
#include "win32/base/ansi.h"
#include "win32/log/win32_event_log.h"

namespace zc::win {

void HookFailureBox::Report(const candy::HookFailureReport& report) {
  const std::wstring text = ToWide(report.boxText);
  const std::wstring title = ToWide(report.boxTitle);
  ::MessageBoxW(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
  if (events_) {
    events_->Report(events::kCandyButtonError, report.logEntry);
    return;
  }
  SilentFailureReporter silent;
  const ConstantTexts texts(silent);
  Win32EventLog programSource(texts.Get(enc::EventSourceName));
  programSource.Report(events::kCandyButtonError, report.logEntry);
}

}  // namespace zc::win
