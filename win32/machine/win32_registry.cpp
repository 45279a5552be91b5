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

// The UTF-16 text of a string value's data, without up to `count` terminating zeros.
// An odd last byte (data written by hand) is not a character and is left out.
Text StoredText(const std::vector<BYTE>& buffer, DWORD size, size_t count) {
  Text text(size / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), buffer.data(), text.size() * sizeof(char16_t));
  while (count-- > 0 && !text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

void StoreValue(int32_t root, TextView keyPath, TextView valueName, DWORD type,
                const BYTE* data, DWORD size) {
  UniqueKey key;
  if (::RegCreateKeyW(RootKey(root), ToWide(keyPath).c_str(), key.put()) != ERROR_SUCCESS) return;
  ::RegSetValueExW(key.get(), ToWide(valueName).c_str(), 0, type, data, size);
}

REGSAM ViewFlag(RegistryView view) { return view == RegistryView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

}  // namespace

int32_t Win32Registry::DeleteRegistryValue(int32_t root, TextView keyPath, TextView valueName) {
  HKEY opened = nullptr;
  const LONG openError =
      ::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, kDeleteAccess, &opened);
  if (openError != ERROR_SUCCESS) return openError;
  ::RegDeleteValueW(opened, ToWide(valueName).c_str());
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
  // Up to the first zero, if any; the stored size counts no terminating zero.
  const TextView text = data.substr(0, data.find(u'\0'));
  StoreValue(root, keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
             static_cast<DWORD>(text.size() * sizeof(char16_t)));
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
  if (::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, kReadAccess, key.put()) !=
      ERROR_SUCCESS) {
    return {};
  }
  return ReadOpenedValue(key.get(), valueName);
}

RegistryValue Win32Registry::ReadRegistryValueInView(int32_t root, RegistryView view, TextView keyPath,
                                                     TextView valueName) {
  UniqueKey key;
  if (::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, kReadAccess | ViewFlag(view), key.put()) !=
      ERROR_SUCCESS) {
    return {};
  }
  return ReadOpenedValue(key.get(), valueName);
}

RegistryValue Win32Registry::ReadOpenedValue(HKEY opened, TextView valueName) {
  const std::wstring name = ToWide(valueName);
  std::vector<BYTE> buffer(kFirstReadBytes);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(buffer.size());
  LONG status = ::RegQueryValueExW(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
  // The value may grow between the two reads; ask again until it fits.
  for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 4; ++attempt) {
    buffer.assign(size, 0);
    status = ::RegQueryValueExW(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
  }
  if (status != ERROR_SUCCESS) return {};
  size = size < buffer.size() ? size : static_cast<DWORD>(buffer.size());

  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return StoredText(buffer, size, 1);
    case REG_MULTI_SZ:
      return StoredText(buffer, size, 2);
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
