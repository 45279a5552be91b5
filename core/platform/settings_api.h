#pragma once
// The per-user settings store: text values by application, section and key.

#include <optional>

#include "core/base/text.h"

namespace zc {

class SettingsApi {
 public:
  virtual ~SettingsApi() = default;

  // The stored text, or nothing when the value is absent or unreadable.
  virtual std::optional<Text> GetSetting(TextView application, TextView section, TextView key) = 0;

  // False when the value could not be stored.
  virtual bool SaveSetting(TextView application, TextView section, TextView key, TextView value) = 0;
};

}  // namespace zc
