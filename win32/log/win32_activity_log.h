#pragma once
// The activity log on Windows. Each Log_Trans call finds, opens or creates,
// writes one line to and closes <folder><LogFileName>:
//
//   - the path is the folder text immediately followed by the deciphered LogFileName
//     constant (nothing inserted: a folder text ends with a backslash; an empty one is
//     the current directory), both in the ANSI code page;
//   - the file counts as present when a directory listing of the path (FindFirstFileA)
//     shows it as a normal file; a hidden or system file counts as absent;
//   - absent: created (overwrite allowed); present: opened for appending;
//   - the line is "[" + short date + " " + long time + "] " + text, the date and time in
//     the user's locale formats (the system's general date format), written in the ANSI
//     code page (characters outside it become '?') and ended with CR LF;
//   - every failure is swallowed: nothing is written and nobody is told.
//
// A hidden or system file of that name is therefore never appended to; creating over it
// fails as it does on Windows (CREATE_ALWAYS with normal attributes is refused for a
// hidden or system file), so it stays untouched and the line is lost. A read-only log
// file is listed but cannot be opened for appending, so nothing is written to it either.
// The implementation makes both refusals explicit, so they hold under Wine (run as root,
// it would otherwise write) as on Windows.

#include "core/platform/activity_log.h"

namespace zc::win {

class Win32ActivityLog final : public ActivityLog {
 public:
  void Log_Trans(TextView line, TextView folder) override;
};

// The log's time stamp for the current local time: short date, a blank, long time.
Text GeneralDateNow();

}  // namespace zc::win
