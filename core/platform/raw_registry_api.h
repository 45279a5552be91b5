#pragma once
// Registry values exactly as stored: their type number and their data bytes as the
// platform's Unicode calls give them (texts in UTF-16LE with whatever terminators they
// were stored with). What is read this way and written back is the same value.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"
#include "core/platform/registry_api.h"

namespace zc {

struct RawRegistryValue {
  uint32_t type = 0;  // 1 text, 2 expandable text, 3 binary, 4 number, 7 multiple texts, ...
  std::vector<uint8_t> data;

  bool operator==(const RawRegistryValue&) const = default;
};

inline constexpr int32_t kUsersRoot = static_cast<int32_t>(0x80000003u);  // HKEY_USERS

// A key named the way a value is recorded: a predefined root, the registry view it is
// opened in, the key's logical path (never through WOW6432Node: the view says which
// branch), and for a value of one user's own hive that user's SID. With a SID the key is
// HKEY_USERS\<sid>\<path> whatever the root says; without one it lies under the root.
struct RegistryKeyPlace {
  int32_t root = 0;
  RegistryView view = RegistryView::Native;
  Text path;
  Text userSid;  // "S-1-5-21-...-1001"; empty: the root itself

  bool operator==(const RegistryKeyPlace&) const = default;
};

class RawRegistryApi {
 public:
  virtual ~RawRegistryApi() = default;

  // Nothing when the key or the value cannot be read (missing, denied). The 64-bit view.
  virtual std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath,
                                                       TextView valueName) = 0;

  // Creates the key when missing and stores the value with its type and data. True on
  // success. The 64-bit view.
  virtual bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName,
                             const RawRegistryValue& value) = 0;

  // ReadRawValue at a key in its view (and user hive).
  virtual std::optional<RawRegistryValue> ReadValueAt(const RegistryKeyPlace& key, TextView valueName) = 0;

  // WriteRawValue at a key in its view (and user hive). A user hive that is not loaded
  // is never created: the write fails.
  virtual bool WriteValueAt(const RegistryKeyPlace& key, TextView valueName, const RawRegistryValue& value) = 0;

  // True when the key exists and can be opened for reading.
  virtual bool KeyOpens(const RegistryKeyPlace& key) = 0;

  // The names of the key's direct subkeys, or of its values (the default value as the
  // empty name); nothing when the key cannot be read.
  virtual std::optional<std::vector<Text>> SubkeyNames(const RegistryKeyPlace& key) = 0;
  virtual std::optional<std::vector<Text>> ValueNames(const RegistryKeyPlace& key) = 0;
};

}  // namespace zc
