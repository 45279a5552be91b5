#include "win32/base/system_folders.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using FolderQuery = UINT(WINAPI*)(LPWSTR, UINT);

Text QueryFolder(FolderQuery query) {
  std::wstring folder(MAX_PATH, L'\0');
  UINT length = query(folder.data(), static_cast<UINT>(folder.size()));
  if (length >= folder.size()) {  // too small: the answer is the size it needs
    folder.assign(length, L'\0');
    length = query(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) return {};
  }
  folder.resize(length);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return FromWide(folder);
}

}  // namespace

Text SystemFolder() { return QueryFolder(::GetSystemDirectoryW); }

// The shared Windows folder, also under a terminal server where GetWindowsDirectory
// names a folder of the user's own.
Text WindowsFolder() { return QueryFolder(::GetSystemWindowsDirectoryW); }

}  // namespace zc::win
