#pragma once
// The privileges that let an administrator take over a file or folder whose rights shut
// administrators out: take ownership, restore (write the owner and DACL, delete) and
// backup (read the rights), enabled for the calling thread alone while an instance
// lives. The thread impersonates a copy of the process's token with them enabled, so
// no other thread of the program opens files with them meanwhile; the destructor ends
// the impersonation. Files must still be opened with FILE_FLAG_BACKUP_SEMANTICS for
// the privileges to count.

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

class BackupPrivileges {
 public:
  BackupPrivileges();
  ~BackupPrivileges();
  BackupPrivileges(const BackupPrivileges&) = delete;
  BackupPrivileges& operator=(const BackupPrivileges&) = delete;

  // True when every privilege was enabled (AdjustTokenPrivileges succeeded without
  // ERROR_NOT_ALL_ASSIGNED) and the thread now uses them.
  bool Held() const { return held_; }
  // The error that kept them from being held; ERROR_SUCCESS when held.
  DWORD Error() const { return error_; }

 private:
  UniqueHandle token_;
  bool impersonating_ = false;
  bool held_ = false;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace zc::win
