#pragma once
// Events kept in memory: each report's full id and text; every report can be refused.

#include <cstdint>
#include <utility>
#include <vector>

#include "core/platform/event_log_api.h"

namespace zc::fakes {

class FakeEventLog : public EventLogApi {
 public:
  std::vector<std::pair<uint32_t, Text>> events;
  SystemError answer = SystemError::None;

  SystemError Report(uint32_t eventId, TextView text) override {
    if (answer == SystemError::None) events.emplace_back(eventId, Text(text));
    return answer;
  }
};

}  // namespace zc::fakes
