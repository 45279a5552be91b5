#pragma once
// The file steps of the treatment pass. Paths are full paths; nothing is created above
// the folder named.

#include <cstdint>
#include <optional>

#include "core/base/text.h"

namespace zc {

// File attribute bits as the platform numbers them.
enum FileAttribute : uint32_t {
  kAttributeNormal = 0,
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

  // Deletes a file (not a folder). True on success.
  virtual bool RemoveFile(TextView path) = 0;

  // Sets the attribute bits of a file or folder. True on success.
  virtual bool SetAttributes(TextView path, uint32_t attributes) = 0;

  // Creates one folder; fails when it exists or the folder above it does not.
  virtual bool CreateFolder(TextView path) = 0;

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
