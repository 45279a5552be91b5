#pragma once
// Starts a command line as a new process and returns at once, without waiting.

#include "core/base/text.h"

namespace zc {

enum class WindowState : int {
  Hidden = 0,            // every taskkill
  NormalFocused = 1,     // the file explorer on a backup folder, the homepage
  MinimizedFocused = 2,  // the service commands of the treatment
};

class ShellApi {
 public:
  virtual ~ShellApi() = default;

  // True when the process was started.
  virtual bool Launch(TextView commandLine, WindowState state) = 0;
};

}  // namespace zc
