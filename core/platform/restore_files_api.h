#pragma once
// The file operations that the treatment record and the restore need beyond the
// treatment pass's own: whole reads and appends of the record, attributes, empty
// folders, copies that never replace, and the listing of backup folders. Paths are full
// paths.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text.h"
#include "core/platform/file_hash_api.h"

namespace zc {

class RestoreFilesApi {
 public:
  virtual ~RestoreFilesApi() = default;

  // The whole content of a file; nothing when it cannot be read.
  virtual std::optional<std::string> ReadWholeFile(TextView path) = 0;

  // At most the first `maxBytes` bytes of a file (all of it when it is shorter): a file
  // that may be huge is never read whole. Nothing when it cannot be read.
  virtual std::optional<std::string> ReadFileStart(TextView path, size_t maxBytes) = 0;

  // Appends the bytes with one write and flushes them to the disk, creating the file
  // when missing. True when every byte was written.
  virtual bool AppendWhole(TextView path, std::string_view bytes) = 0;

  // Attribute bits of a file or folder (the directory bit 0x10 for a folder); nothing
  // when it does not exist.
  virtual std::optional<uint32_t> Attributes(TextView path) = 0;

  virtual bool SetAttributes(TextView path, uint32_t attributes) = 0;

  // True for an existing folder with nothing inside it.
  virtual bool IsEmptyFolder(TextView path) = 0;

  // Removes an empty folder; fails on anything else. True on success.
  virtual bool RemoveEmptyFolder(TextView path) = 0;

  // Copies a file to a destination that must not exist yet. True on success.
  virtual bool CopyWithoutReplacing(TextView source, TextView destination) = 0;

  // Length of an existing file; nothing when it cannot be measured.
  virtual std::optional<int64_t> FileSize(TextView path) = 0;

  // Copies `source` to a destination that must not exist yet, only when the source has
  // the `expected` SHA-256 and length. The source is opened once, as itself (a reparse
  // point is not followed, one with more than one link is refused) and without letting
  // anyone write or delete it meanwhile; it is hashed and copied from that one handle.
  // No folder on the destination's path may be a reparse point. True on success.
  virtual bool CopyUnchangedCopy(TextView source, TextView destination, const FileDigest& expected) = 0;

  // Names (not paths) of the folders directly inside `folder`, in any order.
  virtual std::vector<Text> ListFolders(TextView folder) = 0;
};

}  // namespace zc
