#include "win32/base/system_library.h"

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"

namespace zc::win {

UniqueModule LoadSystemLibrary(const wchar_t* name) {
  const std::wstring bare(name);
  if (bare.empty() || bare.find_first_of(L"\\/:") != std::wstring::npos) return {};
  UniqueModule library(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  if (library || ::GetLastError() != ERROR_INVALID_PARAMETER) return library;

  // A system without the search flags refuses it as a bad parameter: name the file by
  // its full path instead, and let its own dependencies be looked for beside it.
  const Text folder = SystemFolder();
  if (folder.empty()) return {};
  const std::wstring path = ToWide(folder) + L"\\" + bare;
  return UniqueModule(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace zc::win
