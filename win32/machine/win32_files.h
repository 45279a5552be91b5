#pragma once
// The treatment's file steps through the ANSI file calls.

#include "core/platform/file_api.h"

namespace zc::win {

class Win32Files : public FileApi {
 public:
  bool CopyFileTo(TextView source, TextView destination) override;
  bool RemoveFile(TextView path) override;
  bool SetAttributes(TextView path, uint32_t attributes) override;
  bool CreateFolder(TextView path) override;
  std::optional<int64_t> FileLength(TextView path) override;

  // The path's attributes say directory (a drive root, a folder, a link to a folder).
  bool IsFolder(TextView path) override;

  // Lists the path as a directory listing would; a folder, a hidden or a system entry
  // counts as absent. A path with wildcard characters (also one that gets them from
  // characters the ANSI code page cannot hold) names no single file and is absent.
  bool ExistsAsNormalFile(TextView path) override;
};

}  // namespace zc::win
