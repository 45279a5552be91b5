#pragma once
// The file steps of the treatment pass. Paths are full paths; nothing is created above
// the folder named.

#include <cstdint>
#include <optional>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

// File attribute bits as the platform numbers them.
enum FileAttribute : uint32_t {
  kAttributeNormal = 0x80,  // no other bit: how the platform clears a file's attributes
  kAttributeReadOnly = 0x1,
  kAttributeHidden = 0x2,
  kAttributeSystem = 0x4,
  kAttributeDirectory = 0x10,
};

class FileApi {
 public:
  virtual ~FileApi() = default;

  // Copies a file, replacing an existing destination file. True on success.
  virtual bool CopyFileTo(TextView source, TextView destination) = 0;

  // Deletes a file (not a folder). A delete the platform reports as done may still
  // leave the file in place for a while (another handle holds it with delete sharing):
  // look with PathIsFree before using the path.
  virtual SystemError RemoveFile(TextView path) = 0;

  // Sets the attribute bits of a file or folder.
  virtual SystemError SetAttributes(TextView path, uint32_t attributes) = 0;

  // Creates one folder; fails when anything exists there or the folder above it does not.
  virtual SystemError CreateFolder(TextView path) = 0;

  // Moves a file to a new name on the same volume, never replacing anything there. A
  // running program's image can be moved although it cannot be deleted.
  virtual SystemError MoveFileTo(TextView source, TextView destination) = 0;

  // Marks a file to be deleted when the computer next restarts (needs administrator
  // rights).
  virtual SystemError RemoveAtRestart(TextView path) = 0;

  // True only when nothing at all is at `path`: no file (hidden, system or waiting to be
  // deleted included) and no folder. A path that cannot be looked at is not free.
  virtual bool PathIsFree(TextView path) = 0;

  // Length in bytes of an existing file; nothing when it cannot be measured (missing,
  // a folder, not a valid file name).
  virtual std::optional<int64_t> FileLength(TextView path) = 0;

  // True when `path` names an existing folder (a drive root counts as one); false for a
  // file, for nothing and when it cannot be told.
  virtual bool IsFolder(TextView path) = 0;

  // True when a listing of `path` finds it as a normal file: a folder, a hidden or a
  // system file counts as absent.
  virtual bool ExistsAsNormalFile(TextView path) = 0;
};

}  // namespace zc
