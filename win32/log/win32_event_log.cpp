#include "win32/log/win32_event_log.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {

WORD EventTypeOf(uint32_t eventId) {
  switch (LevelOf(eventId)) {
    case EventLevel::Error: return EVENTLOG_ERROR_TYPE;
    case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::Information: break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

SystemError Win32EventLog::Report(uint32_t eventId, TextView text) {
  if (!source_) {
    source_.reset(::RegisterEventSourceW(nullptr, ToWide(sourceName_).c_str()));
    if (!source_) return static_cast<SystemError>(::GetLastError());
  }
  const std::wstring inserted = ToWide(text);
  const wchar_t* strings[] = {inserted.c_str()};
  if (!::ReportEventW(source_.get(), EventTypeOf(eventId), 0, eventId, nullptr, 1, 0, strings, nullptr)) {
    return static_cast<SystemError>(::GetLastError());
  }
  return SystemError::None;
}

}  // namespace zc::win
