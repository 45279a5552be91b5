#pragma once
// The program's own error log joined to the real machine: the activity log, the
// program's event source (its name deciphered without reporting, since reports come
// here) and the account's local application data folder. Also the cipher's failure
// reporter of every start.

#include "core/app/own_error_log.h"
#include "win32/log/win32_activity_log.h"
#include "win32/log/win32_event_log.h"
#include "win32/machine/win32_own_log_folder.h"

namespace zc::win {

// The event source's name, deciphered without reporting.
Text EventSourceNameSilently();

struct OwnErrorLogMachine {
  explicit OwnErrorLogMachine(ElevationApi& elevation)
      : events(EventSourceNameSilently()), log({elevation, activity, events, folders}) {}
  OwnErrorLogMachine(const OwnErrorLogMachine&) = delete;
  OwnErrorLogMachine& operator=(const OwnErrorLogMachine&) = delete;

  Win32ActivityLog activity;
  Win32EventLog events;
  Win32OwnLogFolder folders;
  OwnErrorLog log;
};

}  // namespace zc::win
