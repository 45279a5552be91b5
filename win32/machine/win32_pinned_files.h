#pragma once
// Suspect-file openings through the system's handle calls. The file is opened once, as
// itself (FILE_OPEN_REPARSE_POINT), with only the rights the steps need (DELETE,
// FILE_READ_DATA, FILE_READ_ATTRIBUTES, FILE_WRITE_ATTRIBUTES, SYNCHRONIZE: asking to
// write its data would fail on a running image) and sharing read, write and delete, by
// its name inside the innermost of its held folders (see held_folders.h). Every step then
// acts through that handle: the hash and the copy read it, FileBasicInfo clears its
// attributes, FileDispositionInfoEx deletes it with POSIX semantics where the system has
// it (Windows 10 1607 and later; FileDispositionInfo before), FileRenameInformation
// moves it into the store's folder, opened as itself; the placeholder is created by name
// inside the held folder.

#include "core/platform/pinned_file_api.h"

namespace zc::win {

class Win32SuspectFiles : public SuspectFileApi {
 public:
  std::unique_ptr<SuspectFile> Open(TextView path, SystemError& error) override;
};

}  // namespace zc::win
