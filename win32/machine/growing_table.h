#pragma once
// The IP Helper's tables are read into a buffer the caller gives; rows may appear between
// asking for the size and reading, so the buffer grows a few times before giving up.

#include <windows.h>

#include <optional>
#include <vector>

namespace zc::win {

// `read(data, &size)` returns NO_ERROR, ERROR_INSUFFICIENT_BUFFER (with the size it
// needs in `size`) or another error. The table's bytes, or nothing on failure.
template <typename Read>
std::optional<std::vector<unsigned char>> ReadGrowingTable(Read read) {
  constexpr DWORD kLargest = 64 * 1024 * 1024;  // a larger claim is damage
  std::vector<unsigned char> buffer(16 * 1024);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD result = read(buffer.data(), &size);
    if (result == NO_ERROR) return buffer;
    if (result != ERROR_INSUFFICIENT_BUFFER || size > kLargest) return std::nullopt;
    buffer.resize(size + size / 4 + 256);
  }
  return std::nullopt;
}

}  // namespace zc::win
