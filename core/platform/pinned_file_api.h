#pragma once
// The treatment's steps on one suspect file, every one through a single opening of it.
// The path is looked up once: from then on the file is reached through its handle, and
// every folder above it stays open without delete sharing, so that nobody can rename,
// delete or replace one of them (with a junction, say) until the steps are over. However
// long the pauses between the steps, none of them can land on another file than the one
// that was opened, and the placeholder goes into the very folder the file was in.

#include <cstdint>
#include <memory>
#include <optional>

#include "core/base/text.h"
#include "core/platform/file_hash_api.h"
#include "core/platform/system_error.h"

namespace zc {

// One suspect file, opened as itself, with the folders above it held. Destroying it
// closes the file and lets the folders go.
class SuspectFile {
 public:
  virtual ~SuspectFile() = default;

  // True while the file is held: false when nothing was at the path when it was opened
  // (only its folders are held then, for the placeholder), and after the file was
  // deleted or moved away.
  virtual bool HoldsFile() const = 0;

  // Length in bytes; nothing when no file is held or it cannot be measured.
  virtual std::optional<int64_t> Length() = 0;

  // SHA-256 and length of the whole content, read from its start.
  virtual std::optional<FileDigest> Hash() = 0;

  // Copies the content into a new file at `newFile` (a full path; nothing may be there
  // yet, and the folder it goes into must be that folder itself, not reached through a
  // junction or link). A copy that cannot be completed is removed again. None only for a
  // whole copy.
  virtual SystemError CopyTo(TextView newFile) = 0;

  // Clears every attribute bit of the file (read-only, hidden, system and the rest).
  virtual SystemError ClearAttributes() = 0;

  // Deletes the file (a read-only one too) and lets it go. None only when its name is
  // free afterwards; NotConfirmed when the delete was taken but the name is still there
  // (another program holds the file, on a system that deletes only when the last handle
  // closes). A running program's image cannot be deleted (AccessDenied): the file stays
  // held then, and can still be moved with MoveTo.
  virtual SystemError Delete() = 0;

  // Moves the file to `newFile` (a full path, as for CopyTo) and lets it go. On the same
  // volume this is a rename, which a running program's image allows as well. From
  // another volume it is a copy followed by a delete; when the delete is refused (a
  // running image), the copy is removed, the error returned and the file stays held.
  virtual SystemError MoveTo(TextView newFile) = 0;

  // True when nothing at all is at the file's name in its held folder (a file waiting to
  // be deleted is something). False when it cannot be told.
  virtual bool NameIsFree() = 0;

  // Creates a folder at the file's name inside the held folder and gives it these
  // attribute bits (FileAttribute values). Fails while anything is at the name, the held
  // file included.
  virtual SystemError MakePlaceholderFolder(uint32_t attributes) = 0;
};

class SuspectFileApi {
 public:
  virtual ~SuspectFileApi() = default;

  // Opens the file at `path` (a full path) as itself and holds every folder above it.
  // When nothing is at the path but its folder exists, the opening holds the folders
  // only (for the placeholder). Refused, with nothing returned and `error` saying why:
  // - Redirected: a folder on the way is a junction, a mount point or a symbolic link
  //   (reparse points that only store the data elsewhere, such as cloud placeholders or
  //   deduplicated files, are no redirection); the file itself is a symbolic link or has
  //   a second name (a hard link); or the path the system reports for what was opened is
  //   not `path` (compared in long names, letter case ignored): a substituted drive.
  // - the system's error when a folder cannot be opened and held (or another program
  //   holds it in a way that forbids holding it), when the file cannot be opened (a
  //   sharing violation while another program has it open without delete sharing), or
  //   when a folder is at the path.
  virtual std::unique_ptr<SuspectFile> Open(TextView path, SystemError& error) = 0;
};

}  // namespace zc
