#pragma once
// The data of a multiple-text registry value (type 7): UTF-16LE texts, each ended by a
// zero, the list ended by one more zero. Read by its byte length, never up to the first
// empty text: some lists (the queue of operations at restart) hold empty texts inside.

#include <cstdint>
#include <vector>

#include "core/base/text.h"

namespace zc {

inline constexpr uint32_t kMultiTextType = 7;

// Every text of the data, empty ones inside the list included. The list's own closing
// zero gives no text; a last text without its zero is kept; an odd last byte is dropped.
std::vector<Text> MultiTextItems(const std::vector<uint8_t>& data);

// The texts as data: each with its zero, then the closing zero.
std::vector<uint8_t> MultiTextData(const std::vector<Text>& items);

}  // namespace zc
