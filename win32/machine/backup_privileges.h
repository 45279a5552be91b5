#pragma once
// The privileges that let an administrator take over a file or folder whose rights shut
// administrators out: take ownership, restore (write the owner and DACL, delete) and
// backup (read the rights), enabled for the calling thread alone while an instance
// lives (thread_privileges.h). Files must still be opened with
// FILE_FLAG_BACKUP_SEMANTICS for the privileges to count.

#include "win32/machine/thread_privileges.h"

namespace zc::win {

class BackupPrivileges : public ThreadPrivileges {
 public:
  BackupPrivileges() : ThreadPrivileges({L"SeTakeOwnershipPrivilege", L"SeRestorePrivilege", L"SeBackupPrivilege"}) {}
};

}  // namespace zc::win
