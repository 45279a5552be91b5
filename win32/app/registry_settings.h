#pragma once
// The per-user settings store in the registry: application, section and key become
// HKEY_CURRENT_USER\Software\<application>\<section>, value <key>, a text value.

#include "core/platform/settings_api.h"

namespace zc::win {

class RegistrySettings : public SettingsApi {
 public:
  std::optional<Text> GetSetting(TextView application, TextView section, TextView key) override;
  bool SaveSetting(TextView application, TextView section, TextView key, TextView value) override;

  static Text KeyPath(TextView application, TextView section);
};

}  // namespace zc::win
