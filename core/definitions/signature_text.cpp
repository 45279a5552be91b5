#include "core/definitions/signature_text.h"

namespace zc {
namespace {

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Exactly kP256HexDigits digits; any other length or character is named in `problem`.
template <typename Char>
std::optional<std::array<uint8_t, kP256ValueBytes>> ReadDigits(std::basic_string_view<Char> digits,
                                                               Text& problem) {
  if (digits.empty()) {
    problem = u"it is empty";
    return std::nullopt;
  }
  for (size_t i = 0; i < digits.size() && i < kP256HexDigits; ++i) {
    if (DigitValue(static_cast<char16_t>(digits[i])) < 0) {
      problem = u"character " + DecimalText(static_cast<long long>(i + 1)) + u" is not a hexadecimal digit";
      return std::nullopt;
    }
  }
  if (digits.size() != kP256HexDigits) {
    problem = u"it holds " + DecimalText(static_cast<long long>(digits.size())) + u" characters; " +
              DecimalText(static_cast<long long>(kP256HexDigits)) + u" hexadecimal digits are expected";
    return std::nullopt;
  }
  std::array<uint8_t, kP256ValueBytes> value{};
  for (size_t i = 0; i < value.size(); ++i) {
    value[i] = static_cast<uint8_t>(DigitValue(static_cast<char16_t>(digits[2 * i])) << 4 |
                                    DigitValue(static_cast<char16_t>(digits[2 * i + 1])));
  }
  return value;
}

}  // namespace

std::optional<P256Signature> ReadSignatureText(std::string_view bytes, Text& problem) {
  if (bytes.ends_with("\r\n")) {
    bytes.remove_suffix(2);
  } else if (bytes.ends_with('\n')) {
    bytes.remove_suffix(1);
  }
  return ReadDigits(bytes, problem);
}

std::optional<P256PublicKey> ReadPublicKeyText(TextView text, Text& problem) { return ReadDigits(text, problem); }

std::string WriteP256Hex(const P256Signature& value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(kP256HexDigits);
  for (const uint8_t byte : value) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

}  // namespace zc
