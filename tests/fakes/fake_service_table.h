#pragma once
// The service manager's running services and a process snapshot held in memory; either
// can be told that it cannot be read.

#include "core/platform/service_table_api.h"

namespace zc::fakes {

class FakeServiceTable : public ServiceTableApi {
 public:
  std::vector<RunningService> services;
  std::vector<ProcessEntry> processes;
  bool managerUnavailable = false;
  bool snapshotUnavailable = false;
  int reads = 0;

  std::optional<std::vector<RunningService>> ReadRunningServices() override {
    ++reads;
    if (managerUnavailable) return std::nullopt;
    return services;
  }
  std::optional<std::vector<ProcessEntry>> ReadProcesses() override {
    if (snapshotUnavailable) return std::nullopt;
    return processes;
  }
};

}  // namespace zc::fakes
