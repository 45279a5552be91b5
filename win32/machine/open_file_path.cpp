#include "win32/machine/open_file_path.h"

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

constexpr std::wstring_view kLiteralPrefix = L"\\\\?\\";
constexpr std::wstring_view kLiteralShare = L"\\\\?\\UNC\\";

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share\x" -> "\\server\share\x".
std::wstring WithoutLiteralPrefix(std::wstring path) {
  if (path.rfind(kLiteralShare, 0) == 0) return L"\\\\" + path.substr(kLiteralShare.size());
  if (path.rfind(kLiteralPrefix, 0) == 0) return path.substr(kLiteralPrefix.size());
  return path;
}

// Calls a path query that answers with the length it needs when the buffer is short.
template <typename Query>
std::wstring Grown(Query query) {
  std::wstring text(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = query(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length + 1);
  }
  return {};
}

std::wstring FullPath(const std::wstring& path) {
  if (path.rfind(kLiteralPrefix, 0) == 0) return WithoutLiteralPrefix(path);
  return Grown([&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
}

std::wstring LongPathOf(const std::wstring& fullPath) {
  const std::wstring asked = WidePath(FromWide(fullPath));
  return WithoutLiteralPrefix(
      Grown([&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(asked.c_str(), buffer, size); }));
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool StartsAtDriveRoot(std::wstring_view path) {
  return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
         ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z');
}

// Where the open file or folder is on its volume ("\dir\name", "\" for the root).
std::wstring VolumePathOf(HANDLE handle) {
  constexpr size_t kBytes = 2 * 32768 + sizeof(FILE_NAME_INFO);
  std::vector<unsigned char> buffer(kBytes);
  if (!::GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
    return {};
  }
  const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
  return std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
}

DWORD VolumeSerialOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  return ::GetFileInformationByHandle(handle, &info) ? info.dwVolumeSerialNumber : 0;
}

// For a system that cannot report a long path whole (Wine past 260 characters): the
// handle's place on its volume is the path after its drive, and the drive's root is that
// volume's own root, not a folder substituted for it.
bool IsOpenOnDriveAt(HANDLE handle, const std::wstring& longPath) {
  if (!StartsAtDriveRoot(longPath)) return false;
  const std::wstring onVolume = VolumePathOf(handle);
  if (onVolume.empty() || !SameIgnoringCase(onVolume, longPath.substr(2))) return false;
  UniqueFile root(::CreateFileW(longPath.substr(0, 3).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const DWORD serial = root ? VolumeSerialOf(root.get()) : 0;
  return root && VolumePathOf(root.get()) == L"\\" && serial != 0 && serial == VolumeSerialOf(handle);
}

}  // namespace

std::optional<PathParts> PartsOfFullPath(TextView path) {
  if (path.empty() || path.find(u'\0') != TextView::npos) return std::nullopt;
  const std::wstring asked = ToWide(path);
  const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  const bool atShare = asked.size() >= 2 && separator(asked[0]) && separator(asked[1]);
  if (!StartsAtDriveRoot(asked) && !atShare) return std::nullopt;  // relative to a current folder
  const std::wstring full = FullPath(asked);
  PathParts parts;
  size_t rest = 0;
  if (StartsAtDriveRoot(full)) {
    rest = 3;
  } else if (full.rfind(L"\\\\", 0) == 0) {
    const size_t server = full.find(L'\\', 2);
    const size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
    if (server == 2 || share == std::wstring::npos || share == server + 1) return std::nullopt;
    rest = share + 1;
  } else {
    return std::nullopt;
  }
  parts.root = full.substr(0, rest);
  while (rest < full.size()) {
    size_t end = full.find(L'\\', rest);
    if (end == std::wstring::npos) end = full.size();
    std::wstring name = full.substr(rest, end - rest);
    if (name.empty() || name == L"." || name == L"..") return std::nullopt;
    parts.names.push_back(std::move(name));
    rest = end + 1;
  }
  if (parts.names.empty()) return std::nullopt;
  return parts;
}

std::wstring JoinedPath(const PathParts& parts, size_t count) {
  std::wstring path = parts.root;
  for (size_t i = 0; i < count && i < parts.names.size(); ++i) {
    if (i > 0) path.push_back(L'\\');
    path += parts.names[i];
  }
  return path;
}

std::wstring FinalPathOf(HANDLE handle) {
  return WithoutLiteralPrefix(Grown([&](wchar_t* buffer, DWORD size) {
    return ::GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }));
}

bool IsOpenAt(HANDLE handle, const std::wstring& fullPath) {
  const std::wstring expected = LongPathOf(fullPath);
  if (expected.empty()) return false;
  const std::wstring actual = FinalPathOf(handle);
  if (actual.empty()) return IsOpenOnDriveAt(handle, expected);
  return SameIgnoringCase(actual, expected);
}

}  // namespace zc::win
