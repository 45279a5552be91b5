#pragma once
// In-memory processes and drives. A process can be made unopenable (access denied, as
// protected system processes are), which empties its image path but not its name.
// A process can refuse to end. Snapshots list the processes in id order; the Windows folder is C:\Windows unless a
// test changes it (empty: the query failed).

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/base/text.h"
#include "core/platform/process_api.h"

namespace zc::fakes {

class FakeProcesses : public ProcessApi {
 public:
  struct Process {
    Text name;
    Text devicePath;  // image file name in device form
    bool openable = true;
  };

  void AddProcess(uint32_t id, TextView name, TextView devicePath, bool openable = true) {
    processes[id] = {Text(name), Text(devicePath), openable};
  }
  void EndProcess(uint32_t id) { processes.erase(id); }
  void AddDrive(TextView root, TextView deviceName) {
    drives.emplace_back(Text(root), Text(deviceName));
  }

  std::map<uint32_t, Process> processes;
  std::vector<std::pair<Text, Text>> drives;  // root, device name
  std::vector<int32_t> terminated;            // ids given to TerminateProcessById
  Text windowsFolder = u"C:\\Windows";
  int nameQueries = 0;
  int driveListings = 0;  // calls of ListDriveRoots
  int snapshots = 0;
  bool failSnapshots = false;  // ListProcesses finds nothing, as when no snapshot can be taken

  Text ProcessName(uint32_t processId) override {
    ++nameQueries;
    auto it = processes.find(processId);
    return it == processes.end() ? Text() : it->second.name;
  }
  std::vector<ProcessEntry> ListProcesses() override {
    ++snapshots;
    std::vector<ProcessEntry> entries;
    if (failSnapshots) return entries;
    for (const auto& [id, process] : processes) entries.push_back({id, process.name});
    return entries;
  }
  Text ImageFileNameInDeviceForm(uint32_t processId) override {
    auto it = processes.find(processId);
    if (it == processes.end() || !it->second.openable) return {};
    return it->second.devicePath;
  }
  std::vector<Text> ListDriveRoots() override {
    ++driveListings;
    std::vector<Text> roots;
    for (const auto& d : drives) roots.push_back(d.first);
    return roots;
  }
  Text QueryDeviceName(TextView root) override {
    for (const auto& d : drives)
      if (d.first == root) return d.second;
    return {};
  }
  Text WindowsFolder() override { return windowsFolder; }
  SystemError TerminateProcessById(int32_t processId) override {
    terminated.push_back(processId);
    const auto id = static_cast<uint32_t>(processId);
    if (unkillable.count(id) != 0) return processes.count(id) ? unkillable[id] : SystemError::None;
    processes.erase(id);
    return SystemError::None;
  }
  // Processes that refuse to end, with the error the platform gives (access denied for
  // an elevated or protected process, a timeout for one that does not go).
  std::map<uint32_t, SystemError> unkillable;
};

}  // namespace zc::fakes
