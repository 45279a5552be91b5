#pragma once
// Services by name (ignoring letter case) with their configurations, in memory. A
// service can be marked as unreadable; creation can be made to fail, and fails like the
// platform's for a name that exists.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/service_manager_api.h"

namespace zc::fakes {

class FakeServiceManager : public ServiceManagerApi {
 public:
  void Add(const ServiceConfig& config) { services[FoldCase(config.name)] = config; }
  // Deleting a service takes its settings with it, as the service manager does.
  void Remove(TextView name) {
    services.erase(FoldCase(name));
    settings.erase(FoldCase(name));
  }

  std::map<Text, ServiceConfig> services;
  std::set<Text> unreadable;  // folded names
  bool failCreates = false;
  int creates = 0;

  std::map<Text, ServiceSettings> settings;  // folded name -> what the service manager keeps
  std::set<ServicePart> failingParts;        // parts ApplySettings refuses
  std::set<Text> startRefused;               // folded names

  ServiceSettings QuerySettings(TextView serviceName) override {
    auto it = settings.find(FoldCase(serviceName));
    return it == settings.end() || !Exists(serviceName) ? ServiceSettings() : it->second;
  }
  std::vector<ServicePart> ApplySettings(TextView serviceName, const ServiceSettings& wanted) override {
    std::vector<ServicePart> failed;
    ServiceSettings& kept = settings[FoldCase(serviceName)];
    auto apply = [&](ServicePart part, const auto& from, auto& to) {
      if (!from) return;
      if (!Exists(serviceName) || failingParts.count(part)) {
        failed.push_back(part);
      } else {
        to = from;
      }
    };
    apply(ServicePart::FailureActions, wanted.failureActions, kept.failureActions);
    apply(ServicePart::FailureActionsFlag, wanted.failureActionsOnNonCrash, kept.failureActionsOnNonCrash);
    apply(ServicePart::DelayedAutoStart, wanted.delayedAutoStart, kept.delayedAutoStart);
    apply(ServicePart::RequiredPrivileges, wanted.requiredPrivileges, kept.requiredPrivileges);
    apply(ServicePart::SidType, wanted.sidType, kept.sidType);
    apply(ServicePart::Triggers, wanted.triggers, kept.triggers);
    apply(ServicePart::PreshutdownTimeout, wanted.preshutdownTimeoutMs, kept.preshutdownTimeoutMs);
    apply(ServicePart::Security, wanted.securityDescriptor, kept.securityDescriptor);
    return failed;
  }
  SystemError Start(TextView serviceName) override {
    const Text name = FoldCase(serviceName);
    calls.emplace_back("start", Text(serviceName));
    if (!services.count(name)) return SystemError::ServiceDoesNotExist;
    if (startRefused.count(name)) return SystemError::AccessDenied;
    states[name] = 4;
    return SystemError::None;
  }

  std::optional<ServiceConfig> QueryConfig(TextView serviceName) override {
    auto it = services.find(FoldCase(serviceName));
    if (it == services.end() || unreadable.count(FoldCase(serviceName))) return std::nullopt;
    return it->second;
  }
  // Service states (4 running unless set), services that refuse to stop or to be
  // deleted with the platform's error, and the calls made.
  std::map<Text, uint32_t> states;  // folded name -> state
  std::map<Text, SystemError> stopRefusals;
  std::map<Text, SystemError> deleteRefusals;
  std::set<Text> queryDenied;
  std::vector<std::pair<std::string, Text>> calls;  // ("stop", name), ("delete", name)

  SystemError QueryState(TextView serviceName, uint32_t& state) override {
    const Text name = FoldCase(serviceName);
    if (queryDenied.count(name)) return SystemError::AccessDenied;
    if (!services.count(name)) return SystemError::ServiceDoesNotExist;
    state = states.count(name) ? states[name] : 4;
    return SystemError::None;
  }
  SystemError Stop(TextView serviceName) override {
    const Text name = FoldCase(serviceName);
    calls.emplace_back("stop", Text(serviceName));
    if (!services.count(name)) return SystemError::None;
    if (stopRefusals.count(name)) return stopRefusals[name];
    states[name] = 1;
    return SystemError::None;
  }
  SystemError Delete(TextView serviceName) override {
    const Text name = FoldCase(serviceName);
    calls.emplace_back("delete", Text(serviceName));
    if (!services.count(name)) return SystemError::None;
    if (deleteRefusals.count(name)) return deleteRefusals[name];
    Remove(serviceName);
    return SystemError::None;
  }
  bool Exists(TextView serviceName) override { return services.count(FoldCase(serviceName)) != 0; }
  bool Create(const ServiceConfig& config) override {
    ++creates;
    if (failCreates || Exists(config.name)) return false;
    Add(config);
    return true;
  }
};

}  // namespace zc::fakes
