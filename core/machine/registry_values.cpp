#include "core/machine/registry_values.h"

#include <type_traits>

namespace zc {
namespace {

std::optional<uint64_t> ParseDigits(TextView digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char16_t c : digits) {
    unsigned digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return std::nullopt;
    }
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return value;
}

}  // namespace

Text RegistryValueToText(const RegistryValue& value) {
  return std::visit(
      [](const auto& v) -> Text {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return {};
        } else if constexpr (std::is_same_v<T, Text>) {
          return v;
        } else if constexpr (std::is_same_v<T, int32_t>) {
          return DecimalText(v);
        } else {
          Text text((v.size() + 1) / 2, u'\0');
          for (size_t i = 0; i < v.size(); ++i) {
            text[i / 2] |= static_cast<char16_t>(v[i] << ((i % 2) * 8));
          }
          return text;
        }
      },
      value);
}

Text ReadRegistryText(RegistryApi& registry, int32_t root, TextView keyPath, TextView valueName) {
  return RegistryValueToText(registry.ReadRegistryValue(root, keyPath, valueName));
}

std::optional<int32_t> ParseRootKeyText(TextView text) {
  const Text trimmed = TrimSpaces(text);
  TextView rest = trimmed;
  if (rest.size() >= 2 && rest[0] == u'&' && (rest[1] == u'H' || rest[1] == u'h')) {
    const auto value = ParseDigits(rest.substr(2), 16);
    if (!value) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(*value));
  }
  bool negative = false;
  if (!rest.empty() && (rest[0] == u'-' || rest[0] == u'+')) {
    negative = rest[0] == u'-';
    rest.remove_prefix(1);
  }
  const auto value = ParseDigits(rest, 10);
  if (!value) return std::nullopt;
  if (negative) {
    if (*value > 0x80000000ull) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(*value));
  }
  return static_cast<int32_t>(static_cast<uint32_t>(*value));
}

int32_t RootKeyFromText(TextView text) {
  return ParseRootKeyText(text).value_or(0);
}

Text ReadRegistryTextInView(RegistryApi& registry, int32_t root, RegistryView view, TextView keyPath,
                            TextView valueName) {
  return RegistryValueToText(registry.ReadRegistryValueInView(root, view, keyPath, valueName));
}

Text Wow32KeyPath(int32_t root, TextView keyPath) {
  constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);
  constexpr TextView kSoftware = u"software\\";
  constexpr TextView kRedirected = u"wow6432node\\";
  if (root != kLocalMachine || keyPath.size() < kSoftware.size()) return Text(keyPath);
  const Text folded = FoldCase(keyPath);
  if (folded.compare(0, kSoftware.size(), kSoftware) != 0) return Text(keyPath);
  if (folded.compare(kSoftware.size(), kRedirected.size(), kRedirected) == 0) return Text(keyPath);
  return Text(keyPath.substr(0, kSoftware.size())) + u"WOW6432Node\\" + Text(keyPath.substr(kSoftware.size()));
}

}  // namespace zc
