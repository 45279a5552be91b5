#include "win32/machine/win32_raw_registry.h"

#include <windows.h>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

HKEY RootKey(int32_t root) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(root)); }

REGSAM ViewFlag(RegistryView view) { return view == RegistryView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

// Opens (or with `create`, creates) the key of a place with `access`. A user's hive is
// opened as HKEY_USERS\<sid> first and the key below it from there: a hive that is not
// loaded fails the open and is never made.
LONG OpenPlace(const RegistryKeyPlace& place, REGSAM access, bool create, UniqueKey& key) {
  HKEY parent = RootKey(place.root);
  UniqueKey hive;
  if (!place.userSid.empty()) {
    const REGSAM hiveAccess = KEY_READ | (create ? KEY_CREATE_SUB_KEY : 0);
    const LONG opened = ::RegOpenKeyExW(HKEY_USERS, ToWide(place.userSid).c_str(), 0, hiveAccess, hive.put());
    if (opened != ERROR_SUCCESS) return opened;
    parent = hive.get();
  }
  const std::wstring path = ToWide(place.path);
  const REGSAM flags = access | ViewFlag(place.view);
  if (create) {
    return ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, flags, nullptr, key.put(),
                             nullptr);
  }
  return ::RegOpenKeyExW(parent, path.c_str(), 0, flags, key.put());
}

// The longest key and value name the registry allows, with the terminator.
constexpr DWORD kLongestName = 16384;

}  // namespace

std::optional<RawRegistryValue> Win32RawRegistry::ReadRawValue(int32_t root, TextView keyPath, TextView valueName) {
  return ReadValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName);
}

bool Win32RawRegistry::WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) {
  return WriteValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName, value);
}

std::optional<RawRegistryValue> Win32RawRegistry::ReadValueAt(const RegistryKeyPlace& place, TextView valueName) {
  UniqueKey key;
  if (OpenPlace(place, KEY_QUERY_VALUE, false, key) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring name = ToWide(valueName);
  RawRegistryValue value;
  DWORD type = 0;
  DWORD size = 0;
  LONG status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  // The value may grow between the two calls: ask again with the size then reported.
  for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
    value.data.resize(size);
    DWORD filled = size;
    status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, value.data.empty() ? nullptr : value.data.data(),
                                &filled);
    if (status == ERROR_SUCCESS) {
      value.data.resize(filled);
      value.type = type;
      return value;
    }
    if (status == ERROR_MORE_DATA) {
      size = filled;
      status = ERROR_SUCCESS;
    }
  }
  return std::nullopt;
}

bool Win32RawRegistry::WriteValueAt(const RegistryKeyPlace& place, TextView valueName, const RawRegistryValue& value) {
  UniqueKey key;
  if (OpenPlace(place, KEY_SET_VALUE, true, key) != ERROR_SUCCESS) return false;
  return ::RegSetValueExW(key.get(), ToWide(valueName).c_str(), 0, value.type,
                          value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Win32RawRegistry::KeyOpens(const RegistryKeyPlace& place) {
  UniqueKey key;
  return OpenPlace(place, KEY_READ, false, key) == ERROR_SUCCESS;
}

std::optional<std::vector<Text>> Win32RawRegistry::SubkeyNames(const RegistryKeyPlace& place) {
  UniqueKey key;
  if (OpenPlace(place, KEY_ENUMERATE_SUB_KEYS, false, key) != ERROR_SUCCESS) return std::nullopt;
  std::vector<Text> names;
  std::wstring name(kLongestName, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = kLongestName;
    const LONG status = ::RegEnumKeyExW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return names;
    if (status != ERROR_SUCCESS) return std::nullopt;
    names.push_back(FromWide(std::wstring_view(name.data(), length)));
  }
}

std::optional<std::vector<Text>> Win32RawRegistry::ValueNames(const RegistryKeyPlace& place) {
  UniqueKey key;
  if (OpenPlace(place, KEY_QUERY_VALUE, false, key) != ERROR_SUCCESS) return std::nullopt;
  std::vector<Text> names;
  std::wstring name(kLongestName, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = kLongestName;
    const LONG status = ::RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return names;
    if (status != ERROR_SUCCESS) return std::nullopt;
    names.push_back(FromWide(std::wstring_view(name.data(), length)));
  }
}

}  // namespace zc::win
