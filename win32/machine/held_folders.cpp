#include "win32/machine/held_folders.h"

#include <winternl.h>

#include "win32/base/file_path.h"
#include "win32/base/ansi.h"
#include "win32/base/last_error.h"
#include "win32/machine/folder_relative_file.h"

namespace zc::win {
namespace {

// Listing rights take part in sharing checks (attribute rights alone would not), so
// holding a folder this way refuses everyone else's delete or rename of it.
constexpr ACCESS_MASK kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kHoldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr SystemError kNotADirectory = static_cast<SystemError>(ERROR_DIRECTORY);

constexpr FolderRelativeOpen kHoldInside{kHoldAccess, kHoldSharing, FILE_OPEN,
                                         FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT |
                                             FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT};

UniqueFile OpenFolderByPath(const std::wstring& fullPath) {
  return UniqueFile(::CreateFileW(WidePath(FromWide(fullPath)).c_str(), kHoldAccess, kHoldSharing, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

SystemError NoRedirection(HANDLE folder) {
  switch (ReparseKindOf(folder)) {
    case ReparseKind::None:
    case ReparseKind::KeepsData: return SystemError::None;
    case ReparseKind::Redirects: return SystemError::Redirected;
    case ReparseKind::Unknown: break;
  }
  return LastError();
}

}  // namespace

ReparseKind ReparseKindOf(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) return ReparseKind::Unknown;
  if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return ReparseKind::None;
  return IsReparseTagNameSurrogate(tag.ReparseTag) ? ReparseKind::Redirects : ReparseKind::KeepsData;
}

SystemError HeldFolders::Hold(const PathParts& parts, size_t count) {
  const SystemError error = HoldAll(parts, count);
  if (error != SystemError::None) folders_.clear();
  return error;
}

SystemError HeldFolders::HoldAll(const PathParts& parts, size_t count) {
  folders_.clear();
  UniqueFile root = OpenFolderByPath(parts.root);
  if (!root) return LastError();
  SystemError error = NoRedirection(root.get());
  if (error != SystemError::None) return error;
  folders_.push_back(std::move(root));
  for (size_t i = 0; i < count && i < parts.names.size(); ++i) {
    UniqueFile inside;
    error = OpenInFolder(folders_.back().get(), parts.names[i], kHoldInside, inside);
    // A file where a folder should be: the path leads to no folder.
    if (error == SystemError::FileNotFound || error == kNotADirectory) return SystemError::PathNotFound;
    if (error != SystemError::None) return error;
    error = NoRedirection(inside.get());
    if (error != SystemError::None) return error;
    folders_.push_back(std::move(inside));
  }
  // A substituted drive or a mount leads elsewhere although no folder on the way is a
  // reparse point of its own: the innermost folder is then not where the path says.
  return IsOpenAt(Innermost(), JoinedPath(parts, count)) ? SystemError::None : SystemError::Redirected;
}

SystemError OpenFolderAsItself(const std::wstring& fullPath, UniqueFile& folder) {
  folder = OpenFolderByPath(fullPath);
  if (!folder) return LastError();
  SystemError error = NoRedirection(folder.get());
  if (error == SystemError::None && !IsOpenAt(folder.get(), fullPath)) error = SystemError::Redirected;
  if (error != SystemError::None) folder.reset();
  return error;
}

}  // namespace zc::win
