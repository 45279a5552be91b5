#pragma once
// Helpers of the crypto tests: hexadecimal byte strings.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zc::testing_util {

inline std::vector<std::uint8_t> Bytes(std::string_view hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const auto b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

// 00 01 02 ... n-1
inline std::vector<std::uint8_t> Counting(std::size_t n, std::uint8_t start = 0, std::uint8_t step = 1) {
  std::vector<std::uint8_t> out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(start + step * i);
  return out;
}

}  // namespace zc::testing_util
