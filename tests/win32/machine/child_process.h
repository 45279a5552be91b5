#pragma once
// Starting and watching the helper program machine_child.exe, which is built next to
// the test programs.

#include <windows.h>

#include <string>

#include "win32/base/unique_handle.h"

namespace zc::win::testing {

// Full ANSI path of a file next to the running test program.
std::string PathNextToTest(const std::string& fileName);

// Quoted path of machine_child.exe followed by `arguments`.
std::string ChildCommand(const std::string& arguments);

struct StartedChild {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts a command line directly (hidden, no waiting); an empty process when it fails.
StartedChild StartHidden(const std::string& commandLine);

// True when the process ends within `milliseconds`.
bool EndsWithin(HANDLE process, DWORD milliseconds);

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

}  // namespace zc::win::testing
