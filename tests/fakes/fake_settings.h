#pragma once
// Per-user settings in a map; `failWrites` makes every save fail.

#include <map>
#include <tuple>

#include "core/platform/settings_api.h"

namespace zc::fakes {

class FakeSettings : public SettingsApi {
 public:
  std::map<std::tuple<Text, Text, Text>, Text> values;
  bool failWrites = false;

  std::optional<Text> GetSetting(TextView application, TextView section, TextView key) override {
    auto it = values.find({Text(application), Text(section), Text(key)});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool SaveSetting(TextView application, TextView section, TextView key, TextView value) override {
    if (failWrites) return false;
    values[{Text(application), Text(section), Text(key)}] = Text(value);
    return true;
  }
};

}  // namespace zc::fakes
