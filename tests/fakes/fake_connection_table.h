#pragma once
// Connection tables held in memory; can be told that the tables cannot be read.

#include "core/platform/connection_table_api.h"

namespace zc::fakes {

class FakeConnectionTable : public ConnectionTableApi {
 public:
  std::vector<ConnectionRow> rows;
  bool unreadable = false;
  int reads = 0;

  std::optional<std::vector<ConnectionRow>> ReadConnections() override {
    ++reads;
    if (unreadable) return std::nullopt;
    return rows;
  }
};

}  // namespace zc::fakes
