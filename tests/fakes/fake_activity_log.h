#pragma once
// Activity log lines and failure reports kept in memory.

#include <utility>
#include <vector>

#include "core/platform/activity_log.h"

namespace zc::fakes {

class FakeActivityLog : public ActivityLog {
 public:
  std::vector<std::pair<Text, Text>> lines;  // (folder, line)
  void Log_Trans(TextView line, TextView folder) override { lines.emplace_back(Text(folder), Text(line)); }

  std::vector<Text> LinesOf(TextView folder) const {
    std::vector<Text> out;
    for (const auto& l : lines)
      if (l.first == folder) out.push_back(l.second);
    return out;
  }
};

class FakeFailureReporter : public FailureReporter {
 public:
  std::vector<std::pair<Text, Text>> reports;  // (label, description)
  void Report(TextView label, TextView description) override {
    reports.emplace_back(Text(label), Text(description));
  }
};

}  // namespace zc::fakes
