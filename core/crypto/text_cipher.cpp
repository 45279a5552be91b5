#include "core/crypto/text_cipher.h"

#include <array>
#include <cstdint>
#include <vector>

#include "core/crypto/aes.h"
#include "core/crypto/failures.h"

namespace zc {

namespace {

constexpr char16_t kLabel[] = u"PreFer";

// Value of a hexadecimal digit (either case), -1 for anything else.
constexpr std::array<std::int8_t, 128> kHexValues = [] {
  std::array<std::int8_t, 128> values{};
  for (auto& v : values) v = -1;
  for (int c = '0'; c <= '9'; ++c) values[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) values[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) values[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'a' + 10);
  return values;
}();

int HexValue(char16_t c) { return c < 128 ? kHexValues[c] : -1; }

std::vector<std::uint8_t> Utf16LeBytes(TextView text) {
  std::vector<std::uint8_t> bytes(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return bytes;
}

}  // namespace

Text DecryptText(TextView enciphered, TextView key, FailureReporter& reporter) {
  if (key.empty() || enciphered.empty()) return {};
  AES aes(reporter);
  ByteArray password = Utf16LeBytes(key);

  // n / 2 bytes; the pair starting at each odd position (counted from 1) fills byte i / 2.
  const std::size_t n = enciphered.size();
  std::vector<std::uint8_t> bytes(n / 2);
  for (std::size_t i = 1; i <= n; i += 2) {
    // The pair is converted first: "&H" + the one or two characters from position i.
    const int high = HexValue(enciphered[i - 1]);
    const int low = i < n ? HexValue(enciphered[i]) : 0;
    if (high < 0 || low < 0) {
      reporter.Report(kLabel, failure::kTypeMismatch);
      return {};
    }
    const int value = i < n ? high * 16 + low : high;
    // An odd digit count leaves the last, single digit beyond the array.
    if (i / 2 >= bytes.size()) {
      reporter.Report(kLabel, failure::kSubscriptOutOfRange);
      return {};
    }
    bytes[i / 2] = static_cast<std::uint8_t>(value);
  }

  const ByteArray payload = aes.DecryptData(ByteArray(std::move(bytes)), password);
  if (!payload) return {};
  // UTF-16LE, low byte first; a lone last byte makes no character.
  Text text(payload->size() / 2, u'\0');
  for (std::size_t c = 0; c < text.size(); ++c)
    text[c] = static_cast<char16_t>((*payload)[2 * c] | ((*payload)[2 * c + 1] << 8));
  return text;
}

Text EncryptText(TextView plain, TextView key, FailureReporter& reporter) {
  AES aes(reporter);
  const ByteArray envelope = aes.EncryptData(Utf16LeBytes(plain), Utf16LeBytes(key));
  if (!envelope) return {};
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text hex;
  hex.reserve(envelope->size() * 2);
  for (const std::uint8_t b : *envelope) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

}  // namespace zc
