#pragma once
// Every folder on a path, opened one inside the other from the root down and kept open
// without delete sharing. While they are held none of them can be renamed, deleted or
// replaced (by a junction, say: that needs the folder renamed or deleted first), so a
// name looked up in the innermost one is looked up in the very folder the path led to.
// A folder that is itself a junction, a mount point or a symbolic link is refused.

#include <windows.h>

#include <string>
#include <vector>

#include "core/platform/system_error.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/open_file_path.h"

namespace zc::win {

// What a reparse point on an open file or folder does.
enum class ReparseKind {
  None,        // no reparse point
  Redirects,   // a name surrogate: junction, mount point, symbolic link
  KeepsData,   // the data lives elsewhere, the name does not (cloud placeholder, deduplication)
  Unknown,     // the system could not tell
};
ReparseKind ReparseKindOf(HANDLE handle);

class HeldFolders {
 public:
  // Holds the root of `parts` and the first `count` names below it. None, Redirected
  // (a folder on the way leads elsewhere, or the innermost folder is not at the path in
  // long names), or the system's error for a folder that cannot be opened and held.
  SystemError Hold(const PathParts& parts, size_t count);

  // The innermost folder held.
  HANDLE Innermost() const { return folders_.empty() ? INVALID_HANDLE_VALUE : folders_.back().get(); }

 private:
  SystemError HoldAll(const PathParts& parts, size_t count);

  std::vector<UniqueFile> folders_;
};

// Opens one folder, by its full path, as itself: not a reparse point that leads
// elsewhere, and at that path in long names. Held like the folders above: while open it
// cannot be renamed or deleted.
SystemError OpenFolderAsItself(const std::wstring& fullPath, UniqueFile& folder);

}  // namespace zc::win
