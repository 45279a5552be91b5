#pragma once
// What the treatment reads of a running process besides its image: the command line it
// was started with and its current folder (a host program's payload is named there,
// often relative to that folder), the modules it has loaded (a DLL host's payload is
// real only when it is loaded), and whether ending it would stop the system.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"

namespace zc {

// What the system says of a process that is marked to stop the system when it ends.
enum class Criticality {
  NotCritical,
  Critical,
  Unknown,  // neither question could be asked or answered: never end such a process
};

class ProcessDetailsApi {
 public:
  virtual ~ProcessDetailsApi() = default;

  // The command line the process was started with (which the process itself may have
  // rewritten since); nothing when it cannot be read.
  virtual std::optional<Text> CommandLine(uint32_t processId) = 0;

  // The process's current folder, without a trailing separator except at a drive root;
  // nothing when it cannot be read.
  virtual std::optional<Text> CurrentFolder(uint32_t processId) = 0;

  // Full paths (drive-letter form) of the modules the process has loaded, its image
  // included; nothing when the list cannot be read.
  virtual std::optional<std::vector<Text>> LoadedModules(uint32_t processId) = 0;

  virtual Criticality CriticalState(uint32_t processId) = 0;
};

}  // namespace zc
