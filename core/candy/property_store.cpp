#include "core/candy/property_store.h"

namespace zc::candy {

bool MemoryPropertyStore::Fails() {
  const int call = calls_++;
  return failFromCall && call >= *failFromCall;
}

std::optional<PropertyValue> MemoryPropertyStore::Read(TextView key, const PropertyValue& defaultValue) {
  if (Fails()) return std::nullopt;
  readOrder.push_back(FoldCase(key));
  if (const PropertyValue* found = Find(key)) return *found;
  return defaultValue;
}

bool MemoryPropertyStore::Write(TextView key, const PropertyValue& value,
                                const std::optional<PropertyValue>& defaultValue) {
  if (Fails()) return false;
  const Text folded = FoldCase(key);
  writeOrder.push_back(folded);
  if (defaultValue && *defaultValue == value) {
    values_.erase(folded);
  } else {
    values_[folded] = value;
  }
  return true;
}

void MemoryPropertyStore::Put(TextView key, PropertyValue value) { values_[FoldCase(key)] = std::move(value); }

bool MemoryPropertyStore::Has(TextView key) const { return Find(key) != nullptr; }

const PropertyValue* MemoryPropertyStore::Find(TextView key) const {
  const auto it = values_.find(FoldCase(key));
  return it == values_.end() ? nullptr : &it->second;
}

}  // namespace zc::candy
