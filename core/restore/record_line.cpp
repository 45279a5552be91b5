#include "core/restore/record_line.h"

namespace zc {
namespace {

constexpr char kSeparator = '\t';
constexpr std::string_view kClosingField = "end";
constexpr char kDigits[] = "0123456789abcdef";
constexpr char kUpperDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t tab; (tab = text.find(kSeparator, start)) != std::string_view::npos; start = tab + 1) {
    parts.push_back(text.substr(start, tab - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

std::optional<Text> RecordLine::Get(std::string_view key) const {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  return std::nullopt;
}

std::vector<Text> RecordLine::GetAll(std::string_view key) const {
  std::vector<Text> values;
  for (const auto& [k, v] : fields) {
    if (k == key) values.push_back(v);
  }
  return values;
}

std::string EscapeRecordValue(TextView value) {
  const std::string utf8 = ToUtf8(value);
  std::string escaped;
  escaped.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%') {
      escaped.push_back('%');
      escaped.push_back(kUpperDigits[byte >> 4]);
      escaped.push_back(kUpperDigits[byte & 0xF]);
    } else {
      escaped.push_back(c);
    }
  }
  return escaped;
}

std::optional<Text> UnescapeRecordValue(std::string_view value) {
  std::string utf8;
  utf8.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      utf8.push_back(value[i]);
      continue;
    }
    if (i + 2 >= value.size()) return std::nullopt;
    const int high = HexValue(value[i + 1]);
    const int low = HexValue(value[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    utf8.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return FromUtf8(utf8);
}

std::string FormatRecordLine(const RecordLine& line) {
  std::string text = line.action;
  for (const auto& [key, value] : line.fields) {
    text.push_back(kSeparator);
    text += key;
    text.push_back('=');
    text += EscapeRecordValue(value);
  }
  text.push_back(kSeparator);
  text += kClosingField;
  text += "\r\n";
  return text;
}

LineParse ParseRecordLine(std::string_view text, RecordLine& line) {
  line = {};
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  std::vector<std::string_view> parts = SplitFields(text);
  if (parts.size() < 2 || parts.back() != kClosingField) return LineParse::Cut;
  parts.pop_back();
  line.action = std::string(parts.front());
  if (line.action.empty()) return LineParse::Malformed;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t equals = parts[i].find('=');
    if (equals == std::string_view::npos || equals == 0) return LineParse::Malformed;
    std::optional<Text> value = UnescapeRecordValue(parts[i].substr(equals + 1));
    if (!value) return LineParse::Malformed;
    line.Add(std::string(parts[i].substr(0, equals)), std::move(*value));
  }
  return LineParse::Complete;
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

std::optional<std::vector<uint8_t>> BytesFromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]);
    const int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace zc
