#pragma once
// What the system tells of a running process besides its image, in memory. A process
// not added has no command line, folder or modules to read and is not critical; the
// idle process (0) and the system (4) are always critical.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/platform/process_details_api.h"

namespace zc::fakes {

class FakeProcessDetails : public ProcessDetailsApi {
 public:
  struct Details {
    std::optional<Text> commandLine;
    std::optional<Text> currentFolder;
    std::optional<std::vector<Text>> modules;
    Criticality criticality = Criticality::NotCritical;
  };

  // A process started with `commandLine` in `currentFolder` that has loaded `modules`.
  void Add(uint32_t id, TextView commandLine, TextView currentFolder = u"C:\\", std::vector<Text> modules = {},
           Criticality criticality = Criticality::NotCritical) {
    processes[id] = {Text(commandLine), Text(currentFolder), std::move(modules), criticality};
  }

  std::map<uint32_t, Details> processes;
  // Ids that were asked whether they are critical.
  std::vector<uint32_t> criticalityQueries;

  std::optional<Text> CommandLine(uint32_t id) override {
    auto it = processes.find(id);
    return it == processes.end() ? std::nullopt : it->second.commandLine;
  }
  std::optional<Text> CurrentFolder(uint32_t id) override {
    auto it = processes.find(id);
    return it == processes.end() ? std::nullopt : it->second.currentFolder;
  }
  std::optional<std::vector<Text>> LoadedModules(uint32_t id) override {
    auto it = processes.find(id);
    return it == processes.end() ? std::nullopt : it->second.modules;
  }
  Criticality CriticalState(uint32_t id) override {
    criticalityQueries.push_back(id);
    if (id == 0 || id == 4) return Criticality::Critical;  // the idle process and the system
    auto it = processes.find(id);
    return it == processes.end() ? Criticality::NotCritical : it->second.criticality;
  }
};

}  // namespace zc::fakes
