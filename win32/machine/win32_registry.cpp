#include "win32/machine/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

// KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS |
// KEY_NOTIFY | KEY_CREATE_LINK, without the standard rights.
constexpr REGSAM kDeleteAccess = 0x3F;
// KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY.
constexpr REGSAM kReadAccess = 0x19;

HKEY RootKey(int32_t root) {
  // The predefined handles are negative 32-bit numbers, widened with their sign.
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(root));
}

// Drops up to `count` zero bytes from the end of the data.
std::string_view WithoutTerminator(std::string_view data, size_t count) {
  while (count-- > 0 && !data.empty() && data.back() == '\0') data.remove_suffix(1);
  return data;
}

void StoreValue(int32_t root, TextView keyPath, TextView valueName, DWORD type,
                const BYTE* data, DWORD size) {
  UniqueKey key;
  if (::RegCreateKeyA(RootKey(root), ToAnsi(keyPath).c_str(), key.put()) != ERROR_SUCCESS) return;
  ::RegSetValueExA(key.get(), ToAnsi(valueName).c_str(), 0, type, data, size);
}

REGSAM ViewFlag(RegistryView view) { return view == RegistryView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

}  // namespace

int32_t Win32Registry::DeleteRegistryValue(int32_t root, TextView keyPath, TextView valueName) {
  HKEY opened = nullptr;
  const LONG openError =
      ::RegOpenKeyExA(RootKey(root), ToAnsi(keyPath).c_str(), 0, kDeleteAccess, &opened);
  if (openError != ERROR_SUCCESS) return openError;
  ::RegDeleteValueA(opened, ToAnsi(valueName).c_str());
  return ::RegCloseKey(opened);
}

SystemError Win32Registry::RemoveValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName) {
  UniqueKey key;
  LONG status = ::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, KEY_SET_VALUE | ViewFlag(view), key.put());
  if (status == ERROR_FILE_NOT_FOUND) return SystemError::None;  // no key, no value
  if (status != ERROR_SUCCESS) return static_cast<SystemError>(status);
  status = ::RegDeleteValueW(key.get(), ToWide(valueName).c_str());
  if (status == ERROR_FILE_NOT_FOUND) return SystemError::None;
  return static_cast<SystemError>(status);
}

SystemError Win32Registry::SetExistingDword(int32_t root, TextView keyPath, TextView valueName, int32_t data) {
  UniqueKey key;
  // RegOpenKeyExW, never RegCreateKeyExW: a missing key stays missing.
  LONG status = ::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, KEY_SET_VALUE, key.put());
  if (status != ERROR_SUCCESS) return static_cast<SystemError>(status);
  DWORD value = static_cast<DWORD>(data);
  status = ::RegSetValueExW(key.get(), ToWide(valueName).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value));
  return static_cast<SystemError>(status);
}

void Win32Registry::WriteRegistryString(int32_t root, TextView keyPath, TextView valueName,
                                        TextView data) {
  const std::string ansi = ToAnsi(data);
  StoreValue(root, keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
             static_cast<DWORD>(::lstrlenA(ansi.c_str())));
}

void Win32Registry::WriteRegistryDword(int32_t root, TextView keyPath, TextView valueName,
                                       int32_t data) {
  BYTE bytes[4];
  std::memcpy(bytes, &data, sizeof(bytes));  // least significant byte first
  StoreValue(root, keyPath, valueName, REG_DWORD, bytes, sizeof(bytes));
}

RegistryValue Win32Registry::ReadRegistryValue(int32_t root, TextView keyPath,
                                               TextView valueName) {
  UniqueKey key;
  if (::RegOpenKeyExA(RootKey(root), ToAnsi(keyPath).c_str(), 0, kReadAccess, key.put()) !=
      ERROR_SUCCESS) {
    return {};
  }
  return ReadOpenedValue(key.get(), valueName);
}

RegistryValue Win32Registry::ReadRegistryValueInView(int32_t root, RegistryView view, TextView keyPath,
                                                     TextView valueName) {
  UniqueKey key;
  if (::RegOpenKeyExA(RootKey(root), ToAnsi(keyPath).c_str(), 0, kReadAccess | ViewFlag(view), key.put()) !=
      ERROR_SUCCESS) {
    return {};
  }
  return ReadOpenedValue(key.get(), valueName);
}

RegistryValue Win32Registry::ReadOpenedValue(HKEY opened, TextView valueName) {
  const std::string name = ToAnsi(valueName);
  std::vector<BYTE> buffer(kFirstReadBytes);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(buffer.size());
  LONG status = ::RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
  if (status == ERROR_MORE_DATA) {
    buffer.assign(size, 0);
    status = ::RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
  }
  if (status != ERROR_SUCCESS) return {};
  size = size < buffer.size() ? size : static_cast<DWORD>(buffer.size());
  const std::string_view data(reinterpret_cast<const char*>(buffer.data()), size);

  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return FromAnsi(WithoutTerminator(data, 1));
    case REG_MULTI_SZ:
      return FromAnsi(WithoutTerminator(data, 2));
    case REG_BINARY:
      return std::vector<uint8_t>(buffer.begin(), buffer.begin() + size);
    case REG_DWORD:
      if (size < 4) return {};
      {
        int32_t number = 0;
        std::memcpy(&number, buffer.data(), sizeof(number));
        return number;
      }
    default:
      return {};
  }
}

}  // namespace zc::win
