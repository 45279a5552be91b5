#pragma once
// The program's event source in the Application log: RegisterEventSourceW with the
// source's name (registered by the installers under
// HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\<name>, its messages in
// ZombieCure.exe), ReportEventW with the event's full id (its severity bits included),
// the type those bits name, category 0 and the one insertion string. The source is opened
// at the first report and kept; a source that cannot be opened is tried again next time.

#include <utility>

#include "core/base/text.h"
#include "core/platform/event_log_api.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

class Win32EventLog final : public EventLogApi {
 public:
  explicit Win32EventLog(Text sourceName) : sourceName_(std::move(sourceName)) {}
  SystemError Report(uint32_t eventId, TextView text) override;

 private:
  Text sourceName_;
  UniqueEventSource source_;
};

// The event type ReportEventW is given for an event id: EVENTLOG_ERROR_TYPE,
// EVENTLOG_WARNING_TYPE or EVENTLOG_INFORMATION_TYPE.
WORD EventTypeOf(uint32_t eventId);

}  // namespace zc::win
