#pragma once
// The backup copy that must exist before a Finding's file may be deleted. A file whose
// copy did not arrive whole stays where it is: a false positive must never cost the
// user a file for good.

#include <cstdint>

#include "core/base/text.h"
#include "core/platform/file_api.h"

namespace zc {

enum class BackupState {
  NothingToLose,  // the file is missing (or could not be measured): no copy to keep
  Secured,        // an exact-length copy is in the backup folder
  NotSecured,     // the file exists but has no whole copy: it must not be removed
  NotAFile,       // the path names a folder: nothing is copied, removed or put there
  NotFound,       // the command line names no existing file: nothing is copied, removed or put there
};

// A Finding's name as one plain name inside the backup root, for its backup folder and
// its backup copy. The name of a registry or service Finding is the last piece of a
// registry value, which may be "..", hold "/" or characters no file name can hold; as
// it stands it could lead the folder, the copy and the log out of the backup root (a
// name "..//Windows" names C:\Windows). Each such character becomes "_", and a name of
// dots alone becomes as many "_"; every other name stays as it is.
Text BackupName(TextView name);

// A name in `folder` for the backup copy of `name` that does not overwrite an earlier
// copy: BackupName(`name`) itself when free, else "name (2)", "name (3)", ... Empty
// when no free name was found.
Text FreeBackupPath(FileApi& files, TextView folder, TextView name);

// Copies `source` into `folder` under a free name and says whether the file may now be
// removed: only when the copy has the source's length. A source that names a folder
// (see file_target.h) is not copied at all. `copiedTo`, when given, receives the
// copy's path (empty when nothing was copied).
BackupState CopyIntoBackup(FileApi& files, TextView source, TextView folder, TextView name,
                           Text* copiedTo = nullptr);

}  // namespace zc
