#pragma once
// Which running processes the program may end. Windows' own processes are never ended
// on the strength of a pattern: a process marked critical stops the system when it ends
// (and one whose mark cannot be read is not known to be safe), the session's core
// processes keep the session alive, and a shared service host runs other services
// besides the one a pattern matched. A program of the same name elsewhere (a bot that
// calls itself csrss.exe in a user's folder) is no core process.

#include <cstdint>

#include "core/base/text.h"
#include "core/platform/process_api.h"
#include "core/platform/process_details_api.h"

namespace zc {

enum class EndRefusal {
  None,               // the process may be ended
  Critical,           // ending it would stop the system
  CriticalityUnknown, // the system would not say whether ending it stops the system
  CoreProcess,        // one of the session's core processes
  SharedServiceHost,  // the shared service host: other services live in it
};

// True when `name` is the shared service host's executable name (letter case ignored).
bool IsServiceHostName(TextView name);

class ProcessEndRules {
 public:
  ProcessEndRules(ProcessApi& processes, ProcessDetailsApi& details) : processes_(processes), details_(details) {}

  // Why process `processId`, named `name`, running `image` (a full path; empty when it
  // could not be read), may not be ended; `None` when it may.
  EndRefusal WhyNotEnd(uint32_t processId, TextView name, TextView image);

  // True when `name` and `image` are those of a core process or the shared service host
  // in the Windows folder (or where the image cannot be told to lie elsewhere).
  bool IsCoreImage(TextView name, TextView image);

 private:
  // True when `image` lies in the Windows folder, or cannot be told to lie elsewhere.
  bool MayBeWindows(TextView image);

  ProcessApi& processes_;
  ProcessDetailsApi& details_;
};

}  // namespace zc
