#pragma once
// Service configurations through the service manager: read with QueryServiceConfigW
// (and the description with QueryServiceConfig2W), created with CreateServiceW; the
// further settings through win32_service_settings.h.

#include "core/platform/service_manager_api.h"

namespace zc::win {

class Win32ServiceManager : public ServiceManagerApi {
 public:
  std::optional<ServiceConfig> QueryConfig(TextView serviceName) override;
  ServiceSettings QuerySettings(TextView serviceName) override;
  std::vector<ServicePart> ApplySettings(TextView serviceName, const ServiceSettings& settings) override;
  // StartServiceW; a service already running counts as started.
  SystemError Start(TextView serviceName) override;
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
