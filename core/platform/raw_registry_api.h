#pragma once
// Registry values exactly as stored: their type number and their data bytes as the
// platform's Unicode calls give them (texts in UTF-16LE with whatever terminators they
// were stored with). What is read this way and written back is the same value.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/text.h"

namespace zc {

struct RawRegistryValue {
  uint32_t type = 0;  // 1 text, 2 expandable text, 3 binary, 4 number, 7 multiple texts, ...
  std::vector<uint8_t> data;

  bool operator==(const RawRegistryValue&) const = default;
};

class RawRegistryApi {
 public:
  virtual ~RawRegistryApi() = default;

  // Nothing when the key or the value cannot be read (missing, denied).
  virtual std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath,
                                                       TextView valueName) = 0;

  // Creates the key when missing and stores the value with its type and data. True on
  // success.
  virtual bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName,
                             const RawRegistryValue& value) = 0;
};

}  // namespace zc
