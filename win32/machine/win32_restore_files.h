#pragma once
// The record's and the restore's file operations through the Unicode file calls.

#include "core/platform/restore_files_api.h"

namespace zc::win {

class Win32RestoreFiles : public RestoreFilesApi {
 public:
  std::optional<std::string> ReadWholeFile(TextView path) override;
  std::optional<std::string> ReadFileStart(TextView path, size_t maxBytes) override;
  bool AppendWhole(TextView path, std::string_view bytes) override;
  std::optional<uint32_t> Attributes(TextView path) override;
  bool SetAttributes(TextView path, uint32_t attributes) override;
  bool IsEmptyFolder(TextView path) override;
  bool RemoveEmptyFolder(TextView path) override;
  bool CopyWithoutReplacing(TextView source, TextView destination) override;
  std::optional<int64_t> FileSize(TextView path) override;
  bool CopyUnchangedCopy(TextView source, TextView destination, const FileDigest& expected) override;
  std::vector<Text> ListFolders(TextView folder) override;
};

}  // namespace zc::win
