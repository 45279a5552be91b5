#pragma once
// Running Win32 services with their process ids from the service manager
// (EnumServicesStatusExW with process information), and the running processes from a
// Toolhelp snapshot.

#include "core/platform/service_table_api.h"

namespace zc::win {

class Win32ServiceTable : public ServiceTableApi {
 public:
  std::optional<std::vector<RunningService>> ReadRunningServices() override;
  std::optional<std::vector<ProcessEntry>> ReadProcesses() override;
};

}  // namespace zc::win
