#pragma once
// The services the system names as owners of a process's connections, in memory.

#include <map>
#include <vector>

#include "core/platform/connection_owner_api.h"

namespace zc::fakes {

class FakeConnectionOwner : public ConnectionOwnerApi {
 public:
  std::map<uint32_t, std::vector<Text>> owners;  // process id -> owning services
  bool unreadable = false;                       // the tables cannot be read

  std::optional<std::vector<Text>> ServicesOwningConnections(uint32_t processId) override {
    if (unreadable) return std::nullopt;
    auto it = owners.find(processId);
    return it == owners.end() ? std::vector<Text>{} : it->second;
  }
};

}  // namespace zc::fakes
