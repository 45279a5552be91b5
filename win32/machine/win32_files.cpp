#include "win32/machine/win32_files.h"

#include <windows.h>

#include <string>

#include "win32/base/last_error.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

bool Win32Files::CopyFileTo(TextView source, TextView destination) {
  return ::CopyFileW(WidePath(source).c_str(), WidePath(destination).c_str(), FALSE) != FALSE;
}

SystemError Win32Files::RemoveFile(TextView path) {
  if (path.empty()) return SystemError::FileNotFound;
  return ResultOf(::DeleteFileW(WidePath(path).c_str()));
}

SystemError Win32Files::SetAttributes(TextView path, uint32_t attributes) {
  if (path.empty()) return SystemError::FileNotFound;
  return ResultOf(::SetFileAttributesW(WidePath(path).c_str(), attributes));
}

SystemError Win32Files::CreateFolder(TextView path) {
  if (path.empty()) return SystemError::PathNotFound;
  return ResultOf(::CreateDirectoryW(WidePath(path).c_str(), nullptr));
}

SystemError Win32Files::MoveFileTo(TextView source, TextView destination) {
  if (source.empty() || destination.empty()) return SystemError::FileNotFound;
  return ResultOf(::MoveFileExW(WidePath(source).c_str(), WidePath(destination).c_str(), MOVEFILE_WRITE_THROUGH));
}

SystemError Win32Files::RemoveAtRestart(TextView path) {
  if (path.empty()) return SystemError::FileNotFound;
  return ResultOf(::MoveFileExW(WidePath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

bool Win32Files::PathIsFree(TextView path) {
  if (path.empty()) return false;
  if (::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::optional<int64_t> Win32Files::FileLength(TextView path) {
  if (path.empty()) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool Win32Files::IsFolder(TextView path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::ExistsAsNormalFile(TextView path) {
  if (path.empty() || path.find_first_of(u"*?") != TextView::npos) return false;
  WIN32_FIND_DATAW found{};
  UniqueFind listing(::FindFirstFileW(WidePath(path).c_str(), &found));
  if (!listing) return false;
  constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotNormal) == 0;
}

}  // namespace zc::win
