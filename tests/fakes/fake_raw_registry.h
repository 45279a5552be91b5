#pragma once
// Registry values with their exact type and data, in memory, kept the way Windows keeps
// them: key paths and value names compare ignoring letter case; the 32-bit view of
// HKLM's software keys lies under SOFTWARE\WOW6432Node (every other key is one for both
// views); a user's hive is HKEY_USERS\<sid> and is there only once loaded (its key made),
// never made by a write. Keys exist once made or written into. A denied key can be
// neither read nor written; writes can be made to fail.

#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "core/machine/registry_values.h"
#include "core/platform/raw_registry_api.h"

namespace zc::fakes {

class FakeRawRegistry : public RawRegistryApi {
 public:
  void Set(int32_t root, TextView key, TextView name, RawRegistryValue value) {
    MakeKey(root, key);
    values[{root, FoldCase(key), FoldCase(name)}] = std::move(value);
    names[{root, FoldCase(key), FoldCase(name)}] = Text(name);
  }
  std::optional<RawRegistryValue> Get(int32_t root, TextView key, TextView name) const {
    auto it = values.find({root, FoldCase(key), FoldCase(name)});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Remove(int32_t root, TextView key, TextView name) { values.erase({root, FoldCase(key), FoldCase(name)}); }
  // Makes the key and every key above it (a user's hive is loaded by making HKU\<sid>).
  void MakeKey(int32_t root, TextView key) {
    Text path(key);
    for (;;) {
      keys.emplace(std::pair<int32_t, Text>{root, FoldCase(path)}, path);
      const size_t cut = path.find_last_of(u'\\');
      if (cut == Text::npos) return;
      path.resize(cut);
    }
  }
  // Removes the key, what lies below it and its values.
  void RemoveKey(int32_t root, TextView key) {
    const Text folded = FoldCase(key);
    auto below = [&](const Text& path) {
      return path == folded || (path.size() > folded.size() && path.compare(0, folded.size(), folded) == 0 &&
                                path[folded.size()] == u'\\');
    };
    std::erase_if(keys, [&](const auto& k) { return k.first.first == root && below(k.first.second); });
    std::erase_if(values, [&](const auto& v) { return std::get<0>(v.first) == root && below(std::get<1>(v.first)); });
  }
  // Where a place lies: its root and key path as the 64-bit view names them.
  static std::pair<int32_t, Text> Resolve(const RegistryKeyPlace& key) {
    if (!key.userSid.empty()) return {kUsersRoot, key.path.empty() ? key.userSid : key.userSid + u"\\" + key.path};
    if (key.view == RegistryView::Wow32) return {key.root, Wow32KeyPath(key.root, key.path)};
    return {key.root, key.path};
  }

  std::set<std::pair<int32_t, Text>> deniedKeys;  // (root, folded key)
  bool failWrites = false;
  std::map<std::tuple<int32_t, Text, Text>, RawRegistryValue> values;
  std::map<std::tuple<int32_t, Text, Text>, Text> names;  // value names as written
  std::map<std::pair<int32_t, Text>, Text> keys;          // (root, folded key) -> key as made
  int writes = 0;

  std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath, TextView valueName) override {
    return ReadValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName);
  }
  bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) override {
    return WriteValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName, value);
  }
  std::optional<RawRegistryValue> ReadValueAt(const RegistryKeyPlace& key, TextView valueName) override {
    const auto [root, path] = Resolve(key);
    if (deniedKeys.count({root, FoldCase(path)})) return std::nullopt;
    return Get(root, path, valueName);
  }
  bool WriteValueAt(const RegistryKeyPlace& key, TextView valueName, const RawRegistryValue& value) override {
    const auto [root, path] = Resolve(key);
    if (failWrites || deniedKeys.count({root, FoldCase(path)})) return false;
    if (!key.userSid.empty() && !keys.count({kUsersRoot, FoldCase(key.userSid)})) return false;  // not loaded
    ++writes;
    Set(root, path, valueName, value);
    return true;
  }
  bool KeyOpens(const RegistryKeyPlace& key) override {
    const auto [root, path] = Resolve(key);
    return keys.count({root, FoldCase(path)}) && !deniedKeys.count({root, FoldCase(path)});
  }
  std::optional<std::vector<Text>> SubkeyNames(const RegistryKeyPlace& key) override {
    if (!KeyOpens(key)) return std::nullopt;
    const auto [root, path] = Resolve(key);
    const Text prefix = FoldCase(path) + u"\\";
    std::vector<Text> found;
    for (const auto& [at, made] : keys) {
      const Text& k = at.second;
      if (at.first == root && k.size() > prefix.size() && k.compare(0, prefix.size(), prefix) == 0 &&
          k.find(u'\\', prefix.size()) == Text::npos) {
        found.push_back(made.substr(prefix.size()));
      }
    }
    return found;
  }
  std::optional<std::vector<Text>> ValueNames(const RegistryKeyPlace& key) override {
    if (!KeyOpens(key)) return std::nullopt;
    const auto [root, path] = Resolve(key);
    std::vector<Text> found;
    for (const auto& [k, value] : values) {
      if (std::get<0>(k) == root && std::get<1>(k) == FoldCase(path)) found.push_back(names[k]);
    }
    return found;
  }
};

}  // namespace zc::fakes
