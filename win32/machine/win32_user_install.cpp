#include "win32/machine/win32_user_install.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

Text KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  Text folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) folder = FromWide(path);
  ::CoTaskMemFree(path);
  return folder;
}

SystemError LastError() { return static_cast<SystemError>(::GetLastError()); }

}  // namespace

Text Win32UserInstall::LocalAppDataFolder() { return KnownFolder(FOLDERID_LocalAppData); }

Text Win32UserInstall::StartMenuProgramsFolder() { return KnownFolder(FOLDERID_Programs); }

Text Win32UserInstall::RunningProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return FromWide(buffer);
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

PathKind Win32UserInstall::Inspect(TextView path) {
  const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::Absent : PathKind::Unknown;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::Link;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

SystemError Win32UserInstall::RemoveFile(TextView path) {
  const std::wstring wide = ToWide(path);
  // The old installer's files may carry the read-only attribute; a link is never a file here.
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    ::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  return ::DeleteFileW(wide.c_str()) ? SystemError::None : LastError();
}

SystemError Win32UserInstall::RemoveEmptyFolder(TextView path) {
  return ::RemoveDirectoryW(ToWide(path).c_str()) ? SystemError::None : LastError();
}

SystemError Win32UserInstall::RemoveUserKey(TextView keyPath) {
  const LONG status = ::RegDeleteKeyW(HKEY_CURRENT_USER, ToWide(keyPath).c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return SystemError::None;
  return static_cast<SystemError>(status);
}

}  // namespace zc::win
