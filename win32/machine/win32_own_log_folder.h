#pragma once
// The running account's local application data folder (SHGetKnownFolderPath with
// FOLDERID_LocalAppData for the process's own token) and the making of a folder in it
// (CreateDirectoryW); a folder that is a reparse point afterwards does not count.

#include "core/platform/own_log_folder_api.h"

namespace zc::win {

class Win32OwnLogFolder final : public OwnLogFolderApi {
 public:
  Text LocalAppDataFolder() override;
  SystemError MakeFolder(TextView path) override;
};

}  // namespace zc::win
