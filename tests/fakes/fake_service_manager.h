#pragma once
// Services by name (ignoring letter case) with their configurations, in memory. A
// service can be marked as unreadable; creation can be made to fail, and fails like the
// platform's for a name that exists.

#include <map>
#include <optional>
#include <set>

#include "core/platform/service_manager_api.h"

namespace zc::fakes {

class FakeServiceManager : public ServiceManagerApi {
 public:
  void Add(const ServiceConfig& config) { services[FoldCase(config.name)] = config; }
  void Remove(TextView name) { services.erase(FoldCase(name)); }

  std::map<Text, ServiceConfig> services;
  std::set<Text> unreadable;  // folded names
  bool failCreates = false;
  int creates = 0;

  std::optional<ServiceConfig> QueryConfig(TextView serviceName) override {
    auto it = services.find(FoldCase(serviceName));
    if (it == services.end() || unreadable.count(FoldCase(serviceName))) return std::nullopt;
    return it->second;
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
