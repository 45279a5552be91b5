#pragma once
// The settings the service manager keeps for a service beyond its configuration, read
// with QueryServiceConfig2W (one information level each) and QueryServiceObjectSecurity,
// and set with ChangeServiceConfig2W and SetServiceObjectSecurity.

#include <windows.h>

#include <vector>

#include "core/platform/service_manager_api.h"

namespace zc::win {

// Needs SERVICE_QUERY_CONFIG and READ_CONTROL on the handle. A level the service manager
// does not answer leaves its part empty.
ServiceSettings ReadServiceSettings(SC_HANDLE service);

// Needs SERVICE_CHANGE_CONFIG and WRITE_DAC (WRITE_OWNER for an owner). The parts that
// could not be set.
std::vector<ServicePart> WriteServiceSettings(SC_HANDLE service, const ServiceSettings& settings);

}  // namespace zc::win
