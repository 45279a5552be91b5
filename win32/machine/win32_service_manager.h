#pragma once
// Service configurations through the service manager: read with QueryServiceConfigW
// (and the description with QueryServiceConfig2W), created with CreateServiceW.

#include "core/platform/service_manager_api.h"

namespace zc::win {

class Win32ServiceManager : public ServiceManagerApi {
 public:
  std::optional<ServiceConfig> QueryConfig(TextView serviceName) override;
  // QueryServiceStatusEx: the state's number, not the console query's translated text.
  SystemError QueryState(TextView serviceName, uint32_t& state) override;
  // ControlService(SERVICE_CONTROL_STOP), then QueryServiceStatusEx until the service
  // reports stopped (ten seconds at most).
  SystemError Stop(TextView serviceName) override;
  SystemError Delete(TextView serviceName) override;
  bool Exists(TextView serviceName) override;
  bool Create(const ServiceConfig& config) override;
};

}  // namespace zc::win
