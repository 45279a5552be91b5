#include "win32/machine/win32_own_log_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/last_error.h"

namespace zc::win {

Text Win32OwnLogFolder::LocalAppDataFolder() {
  PWSTR path = nullptr;
  const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
  Text folder;
  if (SUCCEEDED(found) && path) folder = FromWide(path);
  ::CoTaskMemFree(path);
  while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  return folder;
}

SystemError Win32OwnLogFolder::MakeFolder(TextView path) {
  const std::wstring wide = WidePath(path);
  if (!::CreateDirectoryW(wide.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return LastError();
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return SystemError::Redirected;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return SystemError::AlreadyExists;
  return SystemError::None;
}

}  // namespace zc::win
