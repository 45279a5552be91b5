#pragma once
// Reads the fields of one record entry: the first problem is kept and later reads return
// defaults, so an entry is read in one pass and rejected at the end.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text.h"
#include "core/restore/record_line.h"

namespace zc {

class FieldReader {
 public:
  explicit FieldReader(const RecordLine& line) : line_(line) {}

  Text Text_(std::string_view key) {
    std::optional<Text> value = line_.Get(key);
    if (!value) Fail(key, "is missing");
    return value.value_or(Text());
  }
  template <typename Number>
  Number Whole(std::string_view key, int base = 10) {
    return WholeOf<Number>(key, Text_(key), base);
  }
  // A number within a text that holds more than one ("TYPE/DELAY"): read from `text`,
  // blamed on `key`.
  template <typename Number>
  Number WholeOf(std::string_view key, TextView text, int base = 10) {
    const std::string digits = ToUtf8(text);
    std::string_view view = digits;
    if (base == 16 && view.substr(0, 2) == "0x") view.remove_prefix(2);
    Number value{};
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value, base);
    if (!problem_.empty()) return {};
    if (view.empty() || error != std::errc() || end != view.data() + view.size()) Fail(key, "is not a number");
    return value;
  }
  std::vector<uint8_t> Bytes(std::string_view key) { return BytesOf(key, Text_(key)); }
  std::vector<uint8_t> BytesOf(std::string_view key, TextView text) {
    std::optional<std::vector<uint8_t>> bytes = BytesFromHex(ToUtf8(text));
    if (!bytes) Fail(key, "is not hexadecimal");
    return bytes.value_or(std::vector<uint8_t>());
  }
  bool Flag(std::string_view key) {
    const Text text = Text_(key);
    if (text != u"0" && text != u"1") Fail(key, "is not 0 or 1");
    return text == u"1";
  }
  Text Sha256(std::string_view key) {
    Text digest = Text_(key);
    const std::string utf8 = ToUtf8(digest);
    const bool hex = utf8.size() == 64 && utf8.find_first_not_of("0123456789abcdef") == std::string::npos;
    if (!hex) Fail(key, "is not 64 lower-case hexadecimal digits");
    return digest;
  }
  void Fail(std::string_view key, std::string_view what) {
    if (problem_.empty()) problem_ = "the " + line_.action + " entry's " + std::string(key) + " " + std::string(what);
  }
  const std::string& problem() const { return problem_; }

 private:
  const RecordLine& line_;
  std::string problem_;
};

}  // namespace zc
