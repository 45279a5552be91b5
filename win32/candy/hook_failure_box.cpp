#include "win32/candy/hook_failure_box.h"

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {

void HookFailureBox::Report(const candy::HookFailureReport& report) {
  const std::wstring text = ToWide(report.boxText);
  const std::wstring title = ToWide(report.boxTitle);
  ::MessageBoxW(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
  if (HANDLE source = ::RegisterEventSourceW(nullptr, L"CandyButton")) {
    const std::wstring entry = ToWide(report.logEntry);
    const wchar_t* strings[] = {entry.c_str()};
    ::ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    ::DeregisterEventSource(source);
  }
}

}  // namespace zc::win
