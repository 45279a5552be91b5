#pragma once
// Which paths the treatment's file steps may touch. The backup copy, the delete and the
// hidden placeholder folder are meant for the file a Finding names; a Finding's path
// comes from a registry value or a listing and may just as well name a folder (an
// autorun value pointing at C:\Program Files\Vendor), and a placeholder there would
// hide and lock a folder that was never the suspect's file.

#include "core/base/text.h"
#include "core/platform/file_api.h"

namespace zc {

// The last element of a path (after its last "\" or "/"); the whole text when it has
// none.
TextView FileNameOf(TextView path);

// True when the text itself names a folder whatever is on disk: a drive root ("C:",
// "C:\"), or a path whose last element is empty (it ends in "\" or "/"), "." or "..".
bool HasFolderForm(TextView path);

// True when `path` names a file or nothing at all, so that the file steps may apply;
// false for a folder form and for an existing folder.
bool NamesFileOrNothing(FileApi& files, TextView path);

}  // namespace zc
