#pragma once
// Registry values with their exact type and data through the Unicode registry calls
// (texts are stored in UTF-16 whatever the code page, so nothing is converted).

#include "core/platform/raw_registry_api.h"

namespace zc::win {

class Win32RawRegistry : public RawRegistryApi {
 public:
  std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath, TextView valueName) override;
  bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) override;
};

}  // namespace zc::win
