#pragma once
// Ending a Finding's processes and nothing else. A Finding names its process by id,
// executable name and image path, all read at scan time; by treatment time the id may
// belong to another program (the system hands out the ids of ended processes again),
// and the name is shared by unrelated programs (every service host is svchost.exe). So
// nothing is ended until its image has been checked against the Finding's.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/machine/process_inventory.h"
#include "core/platform/process_api.h"
#include "core/platform/shell_api.h"

namespace zc {

// True when `a` and `b` name the same path as Windows compares paths: letter case
// ignored, "/" the same as "\".
bool SameWindowsPath(TextView a, TextView b);

// True when `path` lies somewhere below `folder` (compared as Windows paths). Nothing
// lies below an empty folder.
bool LiesInFolder(TextView path, TextView folder);

class FindingProcesses {
 public:
  FindingProcesses(ProcessApi& processes, ShellApi& shell) : processes_(processes), shell_(shell), inventory_(processes) {}

  // Reads the drive table again; image paths are compared in drive-letter form.
  void Refresh() { inventory_.RefreshDeviceMap(); }

  // True when process `processId` still runs the Finding's image: its image path is
  // `path`, or, where `path` is empty, its executable name is `name` (letter case
  // ignored). A process that has ended, or whose image path cannot be read while
  // `path` is not empty, does not.
  bool RunsImage(uint32_t processId, TextView name, TextView path);

  // Ends the running copies of the Finding's image: the processes named `name` whose
  // image path is `path`, never one whose image lies in the Windows folder. When every
  // running process of that name is such a copy (or none runs), the task-kill tool is
  // started by image name as it always was; otherwise each copy is ended by its id and
  // the other processes of that name are left alone. Nothing is ended by name when
  // `path` lies in the Windows folder, or when the Windows folder or the running
  // processes cannot be told. Every copy found is then ended by id and waited for, so
  // the answer is known: `None` when no copy runs any more, else the first error.
  SystemError EndCopiesOfImage(TextView name, TextView path);

 private:
  ProcessApi& processes_;
  ShellApi& shell_;
  ProcessInventory inventory_;
};

}  // namespace zc
