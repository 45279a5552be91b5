#pragma once
// The user's folders and HKEY_CURRENT_USER entry an earlier per-user installer used, on
// Windows: the known folders LocalAppData and Programs (SHGetKnownFolderPath, of the
// token the program runs with), the program's own path (GetModuleFileNameW), what is at a
// path by its attributes (FILE_ATTRIBUTE_REPARSE_POINT reads as a link, never followed),
// DeleteFileW, RemoveDirectoryW and RegDeleteKeyW.

#include "core/platform/user_install_api.h"

namespace zc::win {

class Win32UserInstall final : public UserInstallApi {
 public:
  Text LocalAppDataFolder() override;
  Text StartMenuProgramsFolder() override;
  Text RunningProgramPath() override;
  PathKind Inspect(TextView path) override;
  SystemError RemoveFile(TextView path) override;
  SystemError RemoveEmptyFolder(TextView path) override;
  SystemError RemoveUserKey(TextView keyPath) override;
};

}  // namespace zc::win
