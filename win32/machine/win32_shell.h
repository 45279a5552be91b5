#pragma once
// Starts a command line as a new process with the given window state and returns at
// once; the new process's handles are closed straight away. The program is a system
// tool taken from the system folder, or one named by its absolute path (system_program.h).

#include "core/platform/shell_api.h"

namespace zc::win {

class Win32Shell : public ShellApi {
 public:
  bool Launch(TextView commandLine, WindowState state) override;
  bool OpenWebAddress(TextView address) override;
};

}  // namespace zc::win
