#include "win32/machine/win32_raw_registry.h"

#include <windows.h>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

HKEY RootKey(int32_t root) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(root)); }

}  // namespace

std::optional<RawRegistryValue> Win32RawRegistry::ReadRawValue(int32_t root, TextView keyPath, TextView valueName) {
  UniqueKey key;
  if (::RegOpenKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
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

bool Win32RawRegistry::WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) {
  UniqueKey key;
  if (::RegCreateKeyExW(RootKey(root), ToWide(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return ::RegSetValueExW(key.get(), ToWide(valueName).c_str(), 0, value.type,
                          value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

}  // namespace zc::win
