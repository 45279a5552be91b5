#include "core/restore/multi_text.h"

namespace zc {

std::vector<Text> MultiTextItems(const std::vector<uint8_t>& data) {
  std::vector<Text> items;
  Text current;
  bool open = false;  // characters read since the last zero
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit != 0) {
      current.push_back(unit);
      open = true;
      continue;
    }
    items.push_back(std::move(current));
    current.clear();
    open = false;
  }
  if (open) {
    items.push_back(std::move(current));
  } else if (!items.empty() && items.back().empty()) {
    // The zero that closes the list ended an empty text of its own.
    items.pop_back();
  }
  return items;
}

std::vector<uint8_t> MultiTextData(const std::vector<Text>& items) {
  std::vector<uint8_t> data;
  for (const Text& item : items) {
    for (const char16_t unit : item) {
      data.push_back(static_cast<uint8_t>(unit));
      data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    data.insert(data.end(), {0, 0});
  }
  data.insert(data.end(), {0, 0});
  return data;
}

}  // namespace zc
