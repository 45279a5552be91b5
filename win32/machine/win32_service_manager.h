#pragma once
// Service configurations through the service manager: read with QueryServiceConfigW
// (and the description with QueryServiceConfig2W), created with CreateServiceW.

#include "core/platform/service_manager_api.h"

namespace zc::win {

class Win32ServiceManager : public ServiceManagerApi {
 public:
  std::optional<ServiceConfig> QueryConfig(TextView serviceName) override;
  bool Exists(TextView serviceName) override;
  bool Create(const ServiceConfig& config) override;
};

}  // namespace zc::win
