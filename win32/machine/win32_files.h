#pragma once
// The treatment's file steps through the wide file calls (any character, any length);
// each step that changes the disk answers with the system's error number.

#include "core/platform/file_api.h"

namespace zc::win {

class Win32Files : public FileApi {
 public:
  bool CopyFileTo(TextView source, TextView destination) override;
  SystemError RemoveFile(TextView path) override;
  SystemError SetAttributes(TextView path, uint32_t attributes) override;
  SystemError CreateFolder(TextView path) override;
  // MoveFileExW without MOVEFILE_COPY_ALLOWED or MOVEFILE_REPLACE_EXISTING: a rename on
  // the same volume that never replaces anything.
  SystemError MoveFileTo(TextView source, TextView destination) override;
  // MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT).
  SystemError RemoveAtRestart(TextView path) override;
  // GetFileAttributesW fails with "file not found" or "path not found". A file waiting
  // for deletion answers "access denied" and is not free.
  bool PathIsFree(TextView path) override;
  std::optional<int64_t> FileLength(TextView path) override;
  // The path's attributes say directory (a drive root, a folder, a link to a folder).
  bool IsFolder(TextView path) override;
  // Lists the path as a directory listing would; a folder, a hidden or a system entry
  // counts as absent. A path with wildcard characters names no single file and is absent.
  bool ExistsAsNormalFile(TextView path) override;
};

}  // namespace zc::win
