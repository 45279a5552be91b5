#pragma once
// Running processes and drives, as the process inventory and the treatment need them.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

// One entry of a process snapshot: the process id and its executable name.
struct ProcessEntry {
  uint32_t id = 0;
  Text name;
};

class ProcessApi {
 public:
  virtual ~ProcessApi() = default;

  // Executable name of the process with this id, from a fresh process snapshot; empty
  // when the id is not in it.
  virtual Text ProcessName(uint32_t processId) = 0;

  // Every running process, from one fresh snapshot, in the snapshot's order; empty when
  // the snapshot cannot be taken.
  virtual std::vector<ProcessEntry> ListProcesses() = 0;

  // Image file name in the kernel's device form (\Device\HarddiskVolume2\...), read with
  // limited query access, which a standard user has also on elevated processes; empty
  // when the process cannot be opened or the name cannot be read.
  virtual Text ImageFileNameInDeviceForm(uint32_t processId) = 0;

  // The logical drive roots ("C:\", "D:\", ...) in the platform's order.
  virtual std::vector<Text> ListDriveRoots() = 0;

  // The DOS-device target of a drive root ("C:\" -> "\Device\HarddiskVolume1"); empty
  // when the query fails.
  virtual Text QueryDeviceName(TextView root) = 0;

  // The system's Windows folder ("C:\Windows"), without a trailing separator; empty
  // when it cannot be told.
  virtual Text WindowsFolder() = 0;

  // Ends the process with exit code 16 through the terminal services library (or the
  // platform's own termination where that library cannot do it) and waits a few seconds
  // at most until it has ended. `None` when it has ended or was not running; otherwise
  // why it could not be ended (access denied, still running: `Timeout`).
  virtual SystemError TerminateProcessById(int32_t processId) = 0;
};

}  // namespace zc
