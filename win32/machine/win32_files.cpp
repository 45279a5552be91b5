#include "win32/machine/win32_files.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

bool Win32Files::CopyFileTo(TextView source, TextView destination) {
  return ::CopyFileA(ToAnsi(source).c_str(), ToAnsi(destination).c_str(), FALSE) != FALSE;
}

bool Win32Files::RemoveFile(TextView path) {
  return ::DeleteFileA(ToAnsi(path).c_str()) != FALSE;
}

bool Win32Files::SetAttributes(TextView path, uint32_t attributes) {
  return ::SetFileAttributesA(ToAnsi(path).c_str(), attributes) != FALSE;
}

bool Win32Files::CreateFolder(TextView path) {
  return ::CreateDirectoryA(ToAnsi(path).c_str(), nullptr) != FALSE;
}

std::optional<int64_t> Win32Files::FileLength(TextView path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(ToAnsi(path).c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                              data.nFileSizeLow);
}

bool Win32Files::IsFolder(TextView path) {
  // The wide call: a name the ANSI code page cannot hold still finds its folder.
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::ExistsAsNormalFile(TextView path) {
  const std::string ansi = ToAnsi(path);
  if (ansi.empty() || ansi.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA found{};
  UniqueFind listing(::FindFirstFileA(ansi.c_str(), &found));
  if (!listing) return false;
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotNormal) == 0;
}

}  // namespace zc::win
