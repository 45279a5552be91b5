#pragma once
// A full path taken apart for opening it name by name, and the check that an open file
// or folder is where a path says: the path the system reports for the handle
// (GetFinalPathNameByHandleW) against the path in long names (GetLongPathNameW), letter
// case ignored as the file system ignores it. A junction, a mount point or a substituted
// drive on the way makes them differ.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/base/text.h"

namespace zc::win {

struct PathParts {
  std::wstring root;                // "C:\" or "\\server\share\"
  std::vector<std::wstring> names;  // the names below the root, in order
};

// `path` made full as the system makes it (GetFullPathNameW: "/" becomes "\", "." and
// ".." and repeated separators go, as do trailing dots and blanks), unless it has the
// literal "\\?\" form, and split at its root. Nothing for a path that starts neither at
// a drive's root nor at a share, or has no name below its root.
std::optional<PathParts> PartsOfFullPath(TextView path);

// The root followed by the first `count` names.
std::wstring JoinedPath(const PathParts& parts, size_t count);

// Where the open file or folder is now, in long names, as "C:\..." or "\\server\share\...";
// empty when the system cannot tell.
std::wstring FinalPathOf(HANDLE handle);

// True when the open file or folder is at `fullPath`.
bool IsOpenAt(HANDLE handle, const std::wstring& fullPath);

}  // namespace zc::win
