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

// What the service manager does when the service fails: after `resetPeriod` seconds
// without a failure the count starts again; each action (0 none, 1 restart, 2 reboot,
// 3 run the command) waits its delay in milliseconds.
struct ServiceFailureAction {
  uint32_t type = 0;
  uint32_t delayMs = 0;
  bool operator==(const ServiceFailureAction&) const = default;
};
struct ServiceFailureActions {
  uint32_t resetPeriod = 0;
  Text rebootMessage;
  Text command;
  std::vector<ServiceFailureAction> actions;
  bool operator==(const ServiceFailureActions&) const = default;
};

// One event that starts or stops the service: its type, its action (1 start, 2 stop),
// its subtype (a GUID's 16 bytes as stored) and its data items (type, bytes).
struct ServiceTriggerData {
  uint32_t type = 0;
  std::vector<uint8_t> data;
  bool operator==(const ServiceTriggerData&) const = default;
};
struct ServiceTrigger {
  uint32_t type = 0;
  uint32_t action = 0;
  std::vector<uint8_t> subtype;
  std::vector<ServiceTriggerData> items;
  bool operator==(const ServiceTrigger&) const = default;
};

// Everything the service manager keeps for a service beyond its configuration, each
// part as read; a part that could not be read is left empty (and then not set again).
struct ServiceSettings {
  std::optional<ServiceFailureActions> failureActions;
  std::optional<bool> failureActionsOnNonCrash;
  std::optional<bool> delayedAutoStart;
  std::optional<std::vector<Text>> requiredPrivileges;
  std::optional<uint32_t> sidType;
  std::optional<std::vector<ServiceTrigger>> triggers;
  std::optional<uint32_t> preshutdownTimeoutMs;
  std::optional<std::vector<uint8_t>> securityDescriptor;  // self-relative; owner, group and DACL

  bool operator==(const ServiceSettings&) const = default;
};

enum class ServicePart {
  FailureActions,
  FailureActionsFlag,
  DelayedAutoStart,
  RequiredPrivileges,
  SidType,
  Triggers,
  PreshutdownTimeout,
  Security,
};

class ServiceManagerApi {
 public:
  virtual ~ServiceManagerApi() = default;

  // Nothing when the service does not exist or its configuration cannot be read.
  virtual std::optional<ServiceConfig> QueryConfig(TextView serviceName) = 0;

  // Every other part the service manager holds for the service (empty parts for a
  // missing service).
  virtual ServiceSettings QuerySettings(TextView serviceName) = 0;

  // Sets each part that `settings` holds on an existing service; returns the parts
  // that could not be set (all of them when the service cannot be opened).
  virtual std::vector<ServicePart> ApplySettings(TextView serviceName, const ServiceSettings& settings) = 0;

  virtual bool Exists(TextView serviceName) = 0;

  // The service's current state (1 stopped, 2 start pending, 3 stop pending, 4 running,
  // 5 continue pending, 6 pause pending, 7 paused) into `state`.
  // `ServiceDoesNotExist` when there is no such service.
  virtual SystemError QueryState(TextView serviceName, uint32_t& state) = 0;

  // Asks the service to stop and waits a few seconds at most until it has stopped. A
  // service that is not running counts as stopped (`None`).
  virtual SystemError Stop(TextView serviceName) = 0;

  // Asks the service manager to start the service (it does not wait for it to run). A
  // service that already runs counts as started (`None`).
  virtual SystemError Start(TextView serviceName) = 0;

  // Deletes the service (it goes once its last handle closes). A service that does not
  // exist, or is already marked for deletion, counts as deleted (`None`).
  virtual SystemError Delete(TextView serviceName) = 0;

  // Creates the service with this configuration (no password: an account that needs
  // one must be given it again by hand). True on success.
  virtual bool Create(const ServiceConfig& config) = 0;
};

}  // namespace zc
