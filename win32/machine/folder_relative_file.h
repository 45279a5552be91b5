#pragma once
// Opening, creating and renaming by one name inside a folder that is already open. The
// name is looked up in that folder itself (NtCreateFile and NtSetInformationFile with the
// folder as the root directory), never again from the drive down, so nothing that
// happens to the path above the folder meanwhile can send the call elsewhere.

#include <windows.h>

#include <string_view>

#include "core/platform/system_error.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

struct FolderRelativeOpen {
  ACCESS_MASK access = 0;
  ULONG share = 0;        // FILE_SHARE_* bits
  ULONG disposition = 0;  // NtCreateFile's FILE_OPEN or FILE_CREATE
  ULONG options = 0;      // NtCreateFile's FILE_DIRECTORY_FILE, FILE_OPEN_REPARSE_POINT, ...
};

// Opens or creates `name` (one name, no separator) inside `folder`. The system's error:
// FileNotFound when nothing has the name, AlreadyExists when creating over something,
// AccessDenied for a file waiting to be deleted.
SystemError OpenInFolder(HANDLE folder, std::wstring_view name, const FolderRelativeOpen& how, UniqueFile& opened);

// Renames the open file to `name` inside `folder`, never replacing anything there
// (AlreadyExists). Across volumes the system refuses it (ERROR_NOT_SAME_DEVICE, 17).
SystemError RenameIntoFolder(HANDLE file, HANDLE folder, std::wstring_view name);

// An NTSTATUS as the system's error number.
SystemError ErrorOfStatus(LONG status);

}  // namespace zc::win
