#pragma once
// Processes and drives through Toolhelp snapshots, the process image-name query and the
// DOS-device queries; ending a process through the terminal services library.

#include "core/platform/process_api.h"

namespace zc::win {

class Win32Processes : public ProcessApi {
 public:
  Text ProcessName(uint32_t processId) override;
  std::vector<ProcessEntry> ListProcesses() override;
  Text ImageFileNameInDeviceForm(uint32_t processId) override;
  std::vector<Text> ListDriveRoots() override;
  Text QueryDeviceName(TextView root) override;
  // GetSystemWindowsDirectoryW, without a trailing separator.
  Text WindowsFolder() override;

  // WinStationTerminateProcess of winsta.dll, looked up at each call. Where the library
  // or its export is missing, or under Wine (whose export is a stub that crashes its
  // caller), the process is ended with TerminateProcess and the same exit code instead.
  SystemError TerminateProcessById(int32_t processId) override;
};

}  // namespace zc::win
