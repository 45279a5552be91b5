#pragma once
// Which service inside a shared service host owns a process's connections. The system
// tags each connection and listener of a service with the service's name (its owner
// module); a process listing only says which services live in the host.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"

namespace zc {

class ConnectionOwnerApi {
 public:
  virtual ~ConnectionOwnerApi() = default;

  // The names of the services that own a TCP connection or listener (IPv4 or IPv6) of
  // process `processId`, each once, in any order; empty when the process owns none
  // through a service; nothing when the tables cannot be read.
  virtual std::optional<std::vector<Text>> ServicesOwningConnections(uint32_t processId) = 0;
};

}  // namespace zc
