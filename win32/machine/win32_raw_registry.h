#pragma once
// Registry values with their exact type and data through the Unicode registry calls
// (texts are stored in UTF-16 whatever the code page, so nothing is converted). A key is
// opened in its view with KEY_WOW64_64KEY or KEY_WOW64_32KEY (never by a WOW6432Node
// path); a user's hive as HKEY_USERS\<sid>\<path>, opened first on its own so that a
// hive that is not loaded is never made.

#include "core/platform/raw_registry_api.h"

namespace zc::win {

class Win32RawRegistry : public RawRegistryApi {
 public:
  std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath, TextView valueName) override;
  bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) override;
  std::optional<RawRegistryValue> ReadValueAt(const RegistryKeyPlace& key, TextView valueName) override;
  bool WriteValueAt(const RegistryKeyPlace& key, TextView valueName, const RawRegistryValue& value) override;
  bool KeyOpens(const RegistryKeyPlace& key) override;
  // RegEnumKeyExW / RegEnumValueW over the key.
  std::optional<std::vector<Text>> SubkeyNames(const RegistryKeyPlace& key) override;
  std::optional<std::vector<Text>> ValueNames(const RegistryKeyPlace& key) override;
};

}  // namespace zc::win
