#include "win32/machine/win32_restore_files.h"

#include <windows.h>

#include <algorithm>

#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_file_hash.h"

namespace zc::win {
namespace {

constexpr int64_t kLargestRecord = 64 * 1024 * 1024;

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring Pattern(TextView folder) {
  Text pattern(folder);
  if (!pattern.empty() && pattern.back() != u'\\') pattern.push_back(u'\\');
  return WidePath(pattern + u"*");
}

// True when no folder above `path`, up to its drive, is a reparse point (a junction
// there would send the write elsewhere). Each folder is named in the form its length
// needs.
bool NoReparsePointAbove(TextView path) {
  for (size_t cut = path.find_last_of(u'\\'); cut != TextView::npos && cut > 2; cut = path.find_last_of(u'\\', cut - 1)) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path.substr(0, cut)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  }
  return true;
}

}  // namespace

std::optional<int64_t> Win32RestoreFiles::FileSize(TextView path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool Win32RestoreFiles::CopyUnchangedCopy(TextView source, TextView destination, const FileDigest& expected) {
  // Others may read the copy meanwhile, but neither write nor delete nor rename it.
  UniqueFile from(::CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(from.get(), &info) || info.nNumberOfLinks != 1 ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const std::optional<FileDigest> digest = DigestOfOpenFile(from.get());
  if (!digest || digest->sha256 != expected.sha256 || digest->length != expected.length) return false;
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(from.get(), start, nullptr, FILE_BEGIN)) return false;

  if (!NoReparsePointAbove(destination)) return false;
  const std::wstring target = WidePath(destination);
  UniqueFile to(::CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!to) return false;
  std::string piece(64 * 1024, '\0');
  int64_t copied = 0;
  bool whole = true;
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(from.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr)) whole = false;
    if (!whole || read == 0) break;
    DWORD written = 0;
    if (!::WriteFile(to.get(), piece.data(), read, &written, nullptr) || written != read) {
      whole = false;
      break;
    }
    copied += read;
  }
  whole = whole && copied == expected.length && ::FlushFileBuffers(to.get());
  if (!whole) {
    // A half copy is not left at the original's place.
    FILE_DISPOSITION_INFO remove{TRUE};
    ::SetFileInformationByHandle(to.get(), FileDispositionInfo, &remove, sizeof remove);
  }
  return whole;
}

std::optional<std::string> Win32RestoreFiles::ReadWholeFile(TextView path) {
  UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestRecord) return std::nullopt;
  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!content.empty() && (!::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr))) {
    return std::nullopt;
  }
  content.resize(read);
  return content;
}

std::optional<std::string> Win32RestoreFiles::ReadFileStart(TextView path, size_t maxBytes) {
  UniqueFile file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string content(maxBytes, '\0');
  size_t filled = 0;
  // The file may be growing: read until the buffer is full or the end is reached.
  while (filled < content.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - filled, 1u << 20));
    DWORD read = 0;
    if (!::ReadFile(file.get(), content.data() + filled, want, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    filled += read;
  }
  content.resize(filled);
  return content;
}

bool Win32RestoreFiles::AppendWhole(TextView path, std::string_view bytes) {
  UniqueFile file(::CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  const bool whole = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size();
  return ::FlushFileBuffers(file.get()) && whole;
}

std::optional<uint32_t> Win32RestoreFiles::Attributes(TextView path) {
  const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool Win32RestoreFiles::SetAttributes(TextView path, uint32_t attributes) {
  return ::SetFileAttributesW(WidePath(path).c_str(), attributes) != FALSE;
}

bool Win32RestoreFiles::IsEmptyFolder(TextView path) {
  const std::optional<uint32_t> attributes = Attributes(path);
  if (!attributes || !(*attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  WIN32_FIND_DATAW found{};
  UniqueFind listing(::FindFirstFileW(Pattern(path).c_str(), &found));
  if (!listing) return false;  // a folder that cannot be listed is not known to be empty
  do {
    if (!IsDotEntry(found.cFileName)) return false;
  } while (::FindNextFileW(listing.get(), &found));
  return true;
}

bool Win32RestoreFiles::RemoveEmptyFolder(TextView path) {
  return ::RemoveDirectoryW(WidePath(path).c_str()) != FALSE;
}

bool Win32RestoreFiles::CopyWithoutReplacing(TextView source, TextView destination) {
  return ::CopyFileW(WidePath(source).c_str(), WidePath(destination).c_str(), TRUE) != FALSE;
}

std::vector<Text> Win32RestoreFiles::ListFolders(TextView folder) {
  std::vector<Text> names;
  WIN32_FIND_DATAW found{};
  UniqueFind listing(::FindFirstFileW(Pattern(folder).c_str(), &found));
  if (!listing) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(found.cFileName)) {
      names.push_back(FromWide(found.cFileName));
    }
  } while (::FindNextFileW(listing.get(), &found));
  return names;
}

}  // namespace zc::win
