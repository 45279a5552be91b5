#pragma once
// A service's configuration as the service manager holds it, read before the service is
// deleted and used to create it again.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

struct ServiceConfig {
  Text name;
  Text displayName;
  Text imagePath;
  uint32_t serviceType = 0;   // 0x10 own process, 0x20 shared process, ...
  uint32_t startType = 0;     // 2 automatic, 3 on demand, 4 disabled, ...
  uint32_t errorControl = 0;  // 1 normal
  Text loadOrderGroup;
  std::vector<Text> dependencies;  // services, and groups with a leading '+'
  Text account;                    // "LocalSystem", ".\user", ...
  Text description;

  bool operator==(const ServiceConfig&) const = default;
};

class ServiceManagerApi {
 public:
  virtual ~ServiceManagerApi() = default;

  // Nothing when the service does not exist or its configuration cannot be read.
  virtual std::optional<ServiceConfig> QueryConfig(TextView serviceName) = 0;

  virtual bool Exists(TextView serviceName) = 0;

  // The service's current state (1 stopped, 2 start pending, 3 stop pending, 4 running,
  // 5 continue pending, 6 pause pending, 7 paused) into `state`.
  // `ServiceDoesNotExist` when there is no such service.
  virtual SystemError QueryState(TextView serviceName, uint32_t& state) = 0;

  // Asks the service to stop and waits a few seconds at most until it has stopped. A
  // service that is not running counts as stopped (`None`).
  virtual SystemError Stop(TextView serviceName) = 0;

  // Deletes the service (it goes once its last handle closes). A service that does not
  // exist, or is already marked for deletion, counts as deleted (`None`).
  virtual SystemError Delete(TextView serviceName) = 0;

  // Creates the service with this configuration (no password: an account that needs
  // one must be given it again by hand). True on success.
  virtual bool Create(const ServiceConfig& config) = 0;
};

}  // namespace zc
