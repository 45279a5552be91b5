#pragma once
// The Windows event log as the program writes to it: one event of the program's own
// source (its message table is built into the program) with one text inserted. An event
// id carries its severity in its two top bits, as the message compiler lays it out, and
// is passed whole: Event Viewer shows the low 16 bits as the event id and takes the
// message's level from the top two.

#include <cstdint>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

enum class EventSeverity : uint32_t { Success = 0, Informational = 1, Warning = 2, Error = 3 };

// The full id of message `code` of the given severity (no customer bit, no facility).
constexpr uint32_t MakeEventId(EventSeverity severity, uint16_t code) {
  return (static_cast<uint32_t>(severity) << 30) | code;
}

constexpr EventSeverity SeverityOf(uint32_t eventId) { return static_cast<EventSeverity>(eventId >> 30); }

// The level the event is written with: error, warning or information.
enum class EventLevel { Information, Warning, Error };

constexpr EventLevel LevelOf(uint32_t eventId) {
  switch (SeverityOf(eventId)) {
    case EventSeverity::Error: return EventLevel::Error;
    case EventSeverity::Warning: return EventLevel::Warning;
    default: return EventLevel::Information;
  }
}

class EventLogApi {
 public:
  virtual ~EventLogApi() = default;

  // Writes event `eventId` with `text` as its one insertion string (%1). `None` when the
  // system took it; otherwise its error (the source could not be opened, the log refused).
  virtual SystemError Report(uint32_t eventId, TextView text) = 0;
};

}  // namespace zc
