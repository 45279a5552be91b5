#pragma once
// The current user's own folders and registry key where an earlier, per-user installer
// of this program put its copy: the local application data folder (the copy lay in its
// "Programs\ZombieCure"), the user's Start-menu programs folder and the installed-programs
// entry under HKEY_CURRENT_USER. Paths are full paths.

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

// What is at a path, looked at without following it.
enum class PathKind {
  Absent,
  File,
  Folder,
  Link,     // a reparse point: a junction, a symbolic link, a mount point
  Unknown,  // it could not be looked at
};

class UserInstallApi {
 public:
  virtual ~UserInstallApi() = default;

  // The local application data folder of the account the program runs as; empty when
  // the system does not say.
  virtual Text LocalAppDataFolder() = 0;

  // That account's Start-menu programs folder; empty when the system does not say.
  virtual Text StartMenuProgramsFolder() = 0;

  // The full path of the running program's file.
  virtual Text RunningProgramPath() = 0;

  virtual PathKind Inspect(TextView path) = 0;

  // Deletes a file (never a folder, never what a link points at).
  virtual SystemError RemoveFile(TextView path) = 0;

  // Removes a folder that is empty; fails on anything else.
  virtual SystemError RemoveEmptyFolder(TextView path) = 0;

  // Deletes a key under HKEY_CURRENT_USER with its values (not one with subkeys). `None`
  // when it is gone or was never there.
  virtual SystemError RemoveUserKey(TextView keyPath) = 0;
};

}  // namespace zc
