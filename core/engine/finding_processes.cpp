#include "core/engine/finding_processes.h"

#include "core/machine/process_termination.h"

namespace zc {
namespace {

// Folded letter case and one kind of separator.
Text ComparablePath(TextView path) {
  Text folded = FoldCase(path);
  for (char16_t& c : folded) {
    if (c == u'/') c = u'\\';
  }
  return folded;
}

}  // namespace

bool SameWindowsPath(TextView a, TextView b) { return ComparablePath(a) == ComparablePath(b); }

bool LiesInFolder(TextView path, TextView folder) {
  Text lead = ComparablePath(folder);
  while (!lead.empty() && lead.back() == u'\\') lead.pop_back();
  if (lead.empty()) return false;
  lead.push_back(u'\\');
  const Text comparable = ComparablePath(path);
  return comparable.size() > lead.size() && comparable.compare(0, lead.size(), lead) == 0;
}

bool FindingProcesses::RunsImage(uint32_t processId, TextView name, TextView path) {
  if (path.empty()) {
    const Text running = inventory_.GetProcessName(processId);
    return !running.empty() && FoldCase(running) == FoldCase(name);
  }
  const Text image = inventory_.GetProcessImagePath(processId);
  return !image.empty() && SameWindowsPath(image, path);
}

SystemError FindingProcesses::EndCopiesOfImage(TextView name, TextView path) {
  const Text windowsFolder = processes_.WindowsFolder();
  if (windowsFolder.empty() || LiesInFolder(path, windowsFolder)) return SystemError::None;

  // A snapshot always holds at least this program itself: an empty one failed, and
  // then nobody knows what else runs under that name.
  const std::vector<ProcessEntry> running = processes_.ListProcesses();
  if (running.empty()) return SystemError::None;

  const Text foldedName = FoldCase(name);
  std::vector<uint32_t> copies;
  bool othersRun = false;
  for (const ProcessEntry& entry : running) {
    if (FoldCase(entry.name) != foldedName) continue;
    const Text image = inventory_.GetProcessImagePath(entry.id);
    // An image that cannot be read is not known to be the suspect's. (A copy never lies
    // in the Windows folder: `path` does not.)
    if (!image.empty() && SameWindowsPath(image, path)) {
      copies.push_back(entry.id);
    } else {
      othersRun = true;
    }
  }
  // A name the tool's quotes cannot hold is never given to it; its copies are ended
  // by id all the same.
  if (!othersRun && !TaskkillByImageNameCommand(name).empty()) KillByImageName(shell_, name);
  // The tool is started without waiting and says nothing; ending each copy by id waits
  // for it and tells whether it went (a copy the tool ended already counts as ended).
  SystemError first = SystemError::None;
  for (const uint32_t id : copies) {
    const SystemError error = processes_.TerminateProcessById(static_cast<int32_t>(id));
    if (first == SystemError::None) first = error;
  }
  return first;
}

}  // namespace zc
