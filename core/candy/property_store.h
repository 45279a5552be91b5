#pragma once
// The host's property store: named values, read with a default used when the key is
// absent and written with a default so that the store may leave out a value equal to it.
// Keys are matched without regard to letter case.

#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "core/base/text.h"
#include "core/candy/candy_types.h"

namespace zc::candy {

using PropertyValue = std::variant<bool, int32_t, Text, CandyFont, PictureRef>;

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  // The stored value or `defaultValue`; nothing when the store fails.
  virtual std::optional<PropertyValue> Read(TextView key, const PropertyValue& defaultValue) = 0;
  // Stores `value` (or leaves it out when it equals `defaultValue`); false on failure.
  virtual bool Write(TextView key, const PropertyValue& value,
                     const std::optional<PropertyValue>& defaultValue) = 0;
};

// A store held in memory, keyed by the lower-case key.
class MemoryPropertyStore : public PropertyStore {
 public:
  std::optional<PropertyValue> Read(TextView key, const PropertyValue& defaultValue) override;
  bool Write(TextView key, const PropertyValue& value,
             const std::optional<PropertyValue>& defaultValue) override;

  // Stores a value as it stands (for filling a store by hand).
  void Put(TextView key, PropertyValue value);
  bool Has(TextView key) const;
  const PropertyValue* Find(TextView key) const;

  // Keys in the order they were written (lower case), including left-out ones.
  std::vector<Text> writeOrder;
  // Keys in the order they were read (lower case).
  std::vector<Text> readOrder;
  // Makes every call fail from the given (zero-based) call on; nothing by default.
  std::optional<int> failFromCall;

 private:
  bool Fails();
  std::map<Text, PropertyValue> values_;
  int calls_ = 0;
};

}  // namespace zc::candy
