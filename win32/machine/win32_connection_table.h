#pragma once
// The connection tables through the IP Helper's extended tables with owning process
// ids: TCP (every state) and UDP, IPv4 and IPv6, each sorted by local endpoint.

#include "core/platform/connection_table_api.h"

namespace zc::win {

class Win32ConnectionTable : public ConnectionTableApi {
 public:
  // Empty optional when the IPv4 tables cannot be read. IPv6 tables that cannot be read
  // (a system without IPv6) add no rows.
  std::optional<std::vector<ConnectionRow>> ReadConnections() override;
};

}  // namespace zc::win
