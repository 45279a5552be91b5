#include "win32/log/log_failure_reporter.h"

#include <windows.h>

#include <string>
#include <utility>

#include "win32/base/ansi.h"

namespace zc::win {

Text ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  return FromWide(std::wstring_view(path).substr(0, slash + 1));
}

LogFailureReporter::LogFailureReporter(ActivityLog& log) : LogFailureReporter(log, ProgramFolder()) {}

LogFailureReporter::LogFailureReporter(ActivityLog& log, Text folder) : log_(log), folder_(std::move(folder)) {}

void LogFailureReporter::Report(TextView label, TextView description) {
  log_.Log_Trans(Text(label) + u": " + Text(description), folder_);
}

}  // namespace zc::win
