// Prints the values of a key under HKEY_CURRENT_USER (or, written "HKLM\\...", under
// HKEY_LOCAL_MACHINE in its 64-bit view), one line each in UTF-8, sorted as
// the registry lists them: "name=data" for texts, "name=#number" for 32-bit numbers,
// "name=?type" for anything else.
//
//   zc_registry_probe KEY      exit 0; 1 when the key does not exist; 2 on misuse

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  utf8 += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring DataText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    CopyMemory(&number, data.data(), sizeof number);
    return L"#" + std::to_wstring(number);
  }
  return L"?" + std::to_wstring(type);
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr || count != 2) return 2;
  HKEY key = nullptr;
  std::wstring path = argv[1];
  HKEY root = HKEY_CURRENT_USER;
  REGSAM access = KEY_READ;
  if (path.rfind(L"HKLM\\", 0) == 0) {
    root = HKEY_LOCAL_MACHINE;
    access |= KEY_WOW64_64KEY;
    path.erase(0, 5);
  }
  const LONG opened = RegOpenKeyExW(root, path.c_str(), 0, access, &key);
  LocalFree(argv);
  if (opened != ERROR_SUCCESS) return 1;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameSize = 16384;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    nameSize = 16384;
    if (RegEnumValueW(key, index, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    Print(std::wstring(name, nameSize) + L"=" + DataText(type, data, size));
  }
  RegCloseKey(key);
  return 0;
}
