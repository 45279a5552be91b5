#include "win32/app/registry_settings.h"

#include <windows.h>

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

Text RegistrySettings::KeyPath(TextView application, TextView section) {
  return u"Software\\" + Text(application) + u"\\" + Text(section);
}

std::optional<Text> RegistrySettings::GetSetting(TextView application, TextView section,
                                                 TextView key) {
  UniqueKey handle;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(KeyPath(application, section)).c_str(), 0, KEY_READ,
                    handle.put()) != ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring name = ToWide(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(bytes / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  return FromWide(std::wstring_view(data.data(), data.size()));
}

bool RegistrySettings::SaveSetting(TextView application, TextView section, TextView key,
                                   TextView value) {
  UniqueKey handle;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(KeyPath(application, section)).c_str(), 0, nullptr, 0,
                      KEY_WRITE, nullptr, handle.put(), nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = ToWide(value);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(handle.get(), ToWide(key).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace zc::win
