#pragma once
// In-memory registry with the platform's rules: key paths and value names compare
// ignoring letter case; a root must be a predefined handle number; a missing key gives
// error 2 on open, a denied key error 5; value types 5 and 6 (and any unknown type)
// read as empty. Keys can be marked as denied, and every write can be made to fail.

#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "core/base/text.h"
#include "core/machine/registry_values.h"
#include "core/platform/registry_api.h"

namespace zc::fakes {

inline constexpr int32_t kHkeyClassesRoot = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t kHkeyCurrentUser = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kHkeyLocalMachine = static_cast<int32_t>(0x80000002u);

class FakeRegistry : public RegistryApi {
 public:
  struct StoredValue {
    uint32_t type = 0;       // 1 text, 2 expandable, 3 binary, 4 number, 7 multi, ...
    RegistryValue value;     // what a read gives for types 1, 2, 3, 4, 7
  };

  // --- set-up and inspection for tests ---------------------------------------------
  void SetText(int32_t root, TextView key, TextView name, TextView text, uint32_t type = 1) {
    Key(root, key, true)->values[Fold(name)] = {type, Text(text)};
  }
  void SetDword(int32_t root, TextView key, TextView name, int32_t value) {
    Key(root, key, true)->values[Fold(name)] = {4, value};
  }
  void SetBinary(int32_t root, TextView key, TextView name, std::vector<uint8_t> bytes) {
    Key(root, key, true)->values[Fold(name)] = {3, std::move(bytes)};
  }
  // A value of a type the program does not read (5, 6, 11, ...).
  void SetOtherType(int32_t root, TextView key, TextView name, uint32_t type) {
    Key(root, key, true)->values[Fold(name)] = {type, std::monostate{}};
  }
  void CreateKey(int32_t root, TextView key) { Key(root, key, true); }
  void DenyKey(int32_t root, TextView key) { Key(root, key, true)->denied = true; }
  void FailWrites(bool fail) { failWrites_ = fail; }

  bool HasKey(int32_t root, TextView key) const { return FindKey(root, key) != nullptr; }
  std::optional<StoredValue> Stored(int32_t root, TextView key, TextView name) const {
    const KeyData* k = FindKey(root, key);
    if (!k) return std::nullopt;
    auto it = k->values.find(Fold(name));
    if (it == k->values.end()) return std::nullopt;
    return it->second;
  }
  // The names of a key's values, letter case folded; nothing for a missing key.
  std::optional<std::vector<Text>> ValueNamesOf(int32_t root, TextView key) const {
    const KeyData* k = FindKey(root, key);
    if (!k) return std::nullopt;
    std::vector<Text> names;
    for (const auto& [name, value] : k->values) names.push_back(name);
    return names;
  }
  size_t ValueCount(int32_t root, TextView key) const {
    const KeyData* k = FindKey(root, key);
    return k ? k->values.size() : 0;
  }
  int deleteCalls = 0;

  // --- RegistryApi -------------------------------------------------------------------
  int32_t DeleteRegistryValue(int32_t root, TextView keyPath, TextView valueName) override {
    ++deleteCalls;
    if (!IsRoot(root)) return 6;  // ERROR_INVALID_HANDLE
    KeyData* k = Key(root, keyPath, false);
    if (!k) return 2;  // ERROR_FILE_NOT_FOUND
    if (k->denied) return 5;  // ERROR_ACCESS_DENIED
    if (!failWrites_) k->values.erase(Fold(valueName));
    return 0;
  }
  SystemError RemoveValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName) override {
    ++deleteCalls;
    if (!IsRoot(root)) return SystemError::InvalidHandle;
    KeyData* k = Key(root, InView(root, view, keyPath), false);
    if (!k) return SystemError::None;  // nothing there to delete
    if (k->denied || failWrites_) return SystemError::AccessDenied;
    k->values.erase(Fold(valueName));
    return SystemError::None;
  }
  SystemError SetExistingDword(int32_t root, TextView keyPath, TextView valueName, int32_t data) override {
    if (!IsRoot(root)) return SystemError::InvalidHandle;
    KeyData* k = Key(root, keyPath, false);
    if (!k) return SystemError::FileNotFound;
    if (k->denied || failWrites_) return SystemError::AccessDenied;
    k->values[Fold(valueName)] = {4, data};
    return SystemError::None;
  }
  void WriteRegistryString(int32_t root, TextView keyPath, TextView valueName, TextView data) override {
    if (KeyData* k = WritableKey(root, keyPath)) k->values[Fold(valueName)] = {1, Text(data)};
  }
  void WriteRegistryDword(int32_t root, TextView keyPath, TextView valueName, int32_t data) override {
    if (KeyData* k = WritableKey(root, keyPath)) k->values[Fold(valueName)] = {4, data};
  }
  // The 32-bit view of HKLM\SOFTWARE lies below SOFTWARE\WOW6432Node, as on Windows;
  // set a value there (SetText with that path) to plant one in the 32-bit view.
  RegistryValue ReadRegistryValueInView(int32_t root, RegistryView view, TextView keyPath,
                                        TextView valueName) override {
    return ReadRegistryValue(root, InView(root, view, keyPath), valueName);
  }
  static Text InView(int32_t root, RegistryView view, TextView keyPath) {
    return view == RegistryView::Wow32 ? Wow32KeyPath(root, keyPath) : Text(keyPath);
  }
  RegistryValue ReadRegistryValue(int32_t root, TextView keyPath, TextView valueName) override {
    ++readCalls;
    if (!IsRoot(root)) return {};
    const KeyData* k = FindKey(root, keyPath);
    if (!k || k->denied) return {};
    auto it = k->values.find(Fold(valueName));
    if (it == k->values.end()) return {};
    switch (it->second.type) {
      case 1: case 2: case 3: case 4: case 7: return it->second.value;
      default: return {};
    }
  }
  int readCalls = 0;

 private:
  struct KeyData {
    bool denied = false;
    std::map<Text, StoredValue> values;
  };
  static Text Fold(TextView t) { return FoldCase(t); }
  static Text NormalKey(TextView key) {
    Text k = FoldCase(key);
    while (!k.empty() && k.back() == u'\\') k.pop_back();
    return k;
  }
  static bool IsRoot(int32_t root) {
    const uint32_t r = static_cast<uint32_t>(root);
    return r >= 0x80000000u && r <= 0x80000006u;
  }
  KeyData* Key(int32_t root, TextView key, bool create) {
    auto id = std::make_pair(root, NormalKey(key));
    auto it = keys_.find(id);
    if (it != keys_.end()) return &it->second;
    if (!create) return nullptr;
    return &keys_[id];
  }
  const KeyData* FindKey(int32_t root, TextView key) const {
    auto it = keys_.find(std::make_pair(root, NormalKey(key)));
    return it == keys_.end() ? nullptr : &it->second;
  }
  KeyData* WritableKey(int32_t root, TextView key) {
    if (failWrites_ || !IsRoot(root)) return nullptr;
    KeyData* k = Key(root, key, true);
    return k->denied ? nullptr : k;
  }

  std::map<std::pair<int32_t, Text>, KeyData> keys_;
  bool failWrites_ = false;
};

}  // namespace zc::fakes
