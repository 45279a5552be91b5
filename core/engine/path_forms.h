#pragma once
// The forms of a path as the resolver of command lines needs them: whether a text is a
// full path (which alone may reach the file system), a path joined to a folder with its
// "." and ".." elements taken away, the folder part, and whether the last element has
// an extension.

#include "core/base/text.h"

namespace zc {

// "C:\..." (or "C:/...") and "\\server\share\...".
bool IsFullPath(TextView path);

// `name` (relative, or starting at the root "\x") inside `folder` (a full path).
Text JoinedPath(TextView folder, TextView name);

// A full drive path with "\.\", "\..\" and doubled separators taken away ("C:\a\..\b" ->
// "C:\b"); other texts as they are.
Text NormalizedPath(TextView path);

// What precedes the last "\" or "/"; empty when there is none.
TextView FolderPartOf(TextView path);

// True when the last element has an extension: a dot in a folder's name is none.
bool HasExtension(TextView path);

// True when the name holds a separator or a drive colon, so that no search applies to it.
bool HasFolderPart(TextView name);

}  // namespace zc
