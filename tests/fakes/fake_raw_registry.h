#pragma once
// Registry values with their exact type and data, in memory: key paths and value names
// compare ignoring letter case; a denied key can be neither read nor written; writes can
// be made to fail.

#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "core/platform/raw_registry_api.h"

namespace zc::fakes {

class FakeRawRegistry : public RawRegistryApi {
 public:
  void Set(int32_t root, TextView key, TextView name, RawRegistryValue value) {
    values[{root, FoldCase(key), FoldCase(name)}] = std::move(value);
  }
  std::optional<RawRegistryValue> Get(int32_t root, TextView key, TextView name) const {
    auto it = values.find({root, FoldCase(key), FoldCase(name)});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Remove(int32_t root, TextView key, TextView name) { values.erase({root, FoldCase(key), FoldCase(name)}); }

  std::set<std::pair<int32_t, Text>> deniedKeys;  // (root, folded key)
  bool failWrites = false;
  std::map<std::tuple<int32_t, Text, Text>, RawRegistryValue> values;

  std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath, TextView valueName) override {
    if (deniedKeys.count({root, FoldCase(keyPath)})) return std::nullopt;
    return Get(root, keyPath, valueName);
  }
  bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) override {
    if (failWrites || deniedKeys.count({root, FoldCase(keyPath)})) return false;
    Set(root, keyPath, valueName, value);
    return true;
  }
};

}  // namespace zc::fakes
