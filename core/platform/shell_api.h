#pragma once
// Starts a command line as a new process and returns at once, without waiting; opens a
// web address in the user's browser.

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

  // Opens a web address with the shell's open verb, the address as the one thing to open
  // (never part of a command line), in a normal, focused window. True when it was opened.
  virtual bool OpenWebAddress(TextView address) = 0;
};

}  // namespace zc
