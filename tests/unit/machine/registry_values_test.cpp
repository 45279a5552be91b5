#include "core/machine/registry_values.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_registry.h"

namespace zc {
namespace {

TEST(RegistryValueToTextTest, EachKind) {
  struct Case { const char* name; RegistryValue value; Text text; };
  const Case cases[] = {
      {"empty", RegistryValue{}, u""},
      {"number 4", RegistryValue{int32_t{4}}, u"4"},
      {"negative number", RegistryValue{int32_t{-2147483647 - 1}}, u"-2147483648"},
      {"text", RegistryValue{Text(u"C:\\a.exe")}, u"C:\\a.exe"},
      {"multi text keeps NULs", RegistryValue{Text(u"a\0b", 3)}, Text(u"a\0b", 3)},
      {"bytes as UTF-16LE", RegistryValue{std::vector<uint8_t>{0x41, 0, 0x00, 0xAC}}, u"A\uAC00"},
      {"no bytes", RegistryValue{std::vector<uint8_t>{}}, u""},
      {"odd last byte kept", RegistryValue{std::vector<uint8_t>{0x41, 0, 0x42}}, u"AB"},
  };
  for (const Case& c : cases) EXPECT_EQ(RegistryValueToText(c.value), c.text) << c.name;
}

TEST(RegistryValueToTextTest, ReadRegistryTextConvertsAtOnce) {
  fakes::FakeRegistry registry;
  const int32_t hkcu = fakes::kHkeyCurrentUser;
  registry.SetDword(hkcu, u"Software\\T", u"n", 4);
  registry.SetOtherType(hkcu, u"Software\\T", u"link", 6);
  EXPECT_EQ(ReadRegistryText(registry, hkcu, u"Software\\T", u"n"), u"4");
  EXPECT_EQ(ReadRegistryText(registry, hkcu, u"Software\\T", u"link"), u"");
  EXPECT_EQ(ReadRegistryText(registry, hkcu, u"Software\\Missing", u"n"), u"");
}

TEST(RootKeyTextTest, ReadableTexts) {
  struct Case { Text text; int32_t root; };
  const Case cases[] = {
      {u"-2147483647", static_cast<int32_t>(0x80000001u)},
      {u"-2147483646", static_cast<int32_t>(0x80000002u)},
      {u"&H80000002", -2147483646},
      {u"&h80000001", -2147483647},
      {u"&H80000000", -2147483647 - 1},
      {u"&HFFFFFFFF", -1},
      {u"&H1F", 31},
      {u"2147483649", static_cast<int32_t>(0x80000001u)},
      {u"-2147483648", -2147483647 - 1},
      {u"  -2147483647 ", -2147483647},
      {u"+5", 5},
      {u"0", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseRootKeyText(c.text), c.root) << ToUtf8(c.text);
    EXPECT_EQ(RootKeyFromText(c.text), c.root) << ToUtf8(c.text);
  }
}

TEST(RootKeyTextTest, UnreadableTextsGiveNothingOrZero) {
  const Text bad[] = {u"", u"   ", u"-", u"&H", u"&HG1", u"HKCU", u"12x", u"1 2",
                      u"4294967296", u"-2147483649", u"&H100000000", u"0x80000001"};
  for (const Text& t : bad) {
    EXPECT_EQ(ParseRootKeyText(t), std::nullopt) << ToUtf8(t);
    EXPECT_EQ(RootKeyFromText(t), 0) << ToUtf8(t);
  }
}

}  // namespace
}  // namespace zc
