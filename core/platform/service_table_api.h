#pragma once
// The service manager's running Win32 services with the ids of their host processes,
// and the running processes' ids and executable names from a process snapshot.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"
#include "core/platform/process_api.h"

namespace zc {

struct RunningService {
  Text name;  // the service's key name, not its display name
  uint32_t processId = 0;
};

class ServiceTableApi {
 public:
  virtual ~ServiceTableApi() = default;

  // In the service manager's order; empty optional when the manager cannot be asked.
  virtual std::optional<std::vector<RunningService>> ReadRunningServices() = 0;

  // In the snapshot's order; empty optional when no snapshot can be taken.
  virtual std::optional<std::vector<ProcessEntry>> ReadProcesses() = 0;
};

}  // namespace zc
