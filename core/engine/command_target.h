#pragma once
// What a command line (an autorun value, a service's image path, a running process's
// command line) leads the treatment to: the files to take, and the host program that
// runs them, which is never taken.

#include <vector>

#include "core/base/text.h"

namespace zc {

// Where the program a command line names is looked for.
enum class StartedBy {
  Shell,           // an autorun value: App Paths, then the search path (user's PATH for HKCU values)
  ServiceManager,  // a service's image path: System32, the Windows folder, the system PATH; never App Paths
  Process,         // a running process's command line: relative names against its current folder
};

struct CommandContext {
  StartedBy startedBy = StartedBy::Shell;
  TextView serviceName;    // for a service's image path: leads the shared service host to its ServiceDll
  TextView currentFolder;  // for a running process: its current folder; empty when unknown
  TextView userSid;        // for another user's autorun value: whose variables the line is read with
                           // (and no App Paths of the running account's); empty: this program's own
};

struct CommandTarget {
  std::vector<Text> files;  // existing files to take: the payloads a host runs, or the program itself when
                            // the program is no host; each once, full paths
  Text host;                // the host program's own file when the command line runs a payload through a
                            // host (never to be taken); empty otherwise
  bool dllHost = false;     // the payloads are DLLs loaded into the host process (rundll32, regsvr32,
                            // svchost, msiexec /y, odbcconf): a process's payload counts only when loaded
  bool payloadNotIdentified = false;  // a host whose payload is a URL or inline script, is not named, or names
                                      // no existing file: there is no file step, nothing is fetched
  bool userVariablesUnknown = false;  // the line holds variables of a user whose variables cannot be had
                                      // here: it names no file (files is empty), none is guessed
};

}  // namespace zc
