// Arbitrary registry data through the text conversion: a value's bytes come from
// whatever another program stored, and root-key texts from the enciphered constants.
// Bytes read as text must keep every byte, and every root-key text that reads as a
// number must read the same when written back in decimal or "&H" form.
//
// Input: the first byte picks the value's type; the rest is its data.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/machine/registry_values.h"
#include "fuzz/fuzz_require.h"

namespace {

using zc::fuzz::Require;

zc::Text HexText(uint32_t value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  zc::Text text = u"&H";
  for (int shift = 28; shift >= 0; shift -= 4) text.push_back(kDigits[(value >> shift) & 0xF]);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  if (size == 0) return 0;
  const std::vector<uint8_t> bytes(data + 1, data + size);
  Text asText;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) asText.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));

  switch (data[0] % 4) {
    case 0:
      Require(RegistryValueToText(RegistryValue{}).empty());
      break;
    case 1:
      Require(RegistryValueToText(RegistryValue{asText}) == asText);
      break;
    case 2: {
      // Bytes become UTF-16LE characters; an odd last byte is one more character.
      const Text text = RegistryValueToText(RegistryValue{bytes});
      Require(text.size() == (bytes.size() + 1) / 2);
      for (size_t i = 0; i < bytes.size(); ++i)
        Require(static_cast<uint8_t>(text[i / 2] >> ((i % 2) * 8)) == bytes[i]);
      if (bytes.size() % 2 == 1) Require(text.back() >> 8 == 0);
      break;
    }
    default: {
      int32_t number = 0;
      for (size_t i = 0; i < bytes.size() && i < 4; ++i) number |= static_cast<int32_t>(bytes[i]) << (8 * i);
      Require(RegistryValueToText(RegistryValue{number}) == DecimalText(number));
      break;
    }
  }

  // The same data as a root-key text (one character a byte, as typed in a constant).
  const Text rootText(bytes.begin(), bytes.end());
  const std::optional<int32_t> root = ParseRootKeyText(rootText);
  Require(RootKeyFromText(rootText) == root.value_or(0));
  if (root) {
    Require(ParseRootKeyText(DecimalText(*root)) == root);
    Require(ParseRootKeyText(DecimalText(static_cast<uint32_t>(*root))) == root);
    Require(ParseRootKeyText(HexText(static_cast<uint32_t>(*root))) == root);
  }
  static_cast<void>(ParseRootKeyText(asText));  // wide characters in the text
  return 0;
}
