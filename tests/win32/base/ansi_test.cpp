#include "win32/base/ansi.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace zc::win {
namespace {

TEST(Ansi, KoreanTextCrossesThroughCodePage949) {
  ASSERT_EQ(::GetACP(), 949u) << "the test bed runs with the Korean locale";
  const Text korean = u"좀비 치료기";
  const std::optional<std::string> ansi = ToAnsiExactly(korean);
  ASSERT_TRUE(ansi.has_value());
  EXPECT_EQ(ansi->size(), 11u);  // five Hangul syllables of two bytes, one blank
  EXPECT_EQ(FromAnsi(*ansi), korean);
}

// What the code page has no exact form for is refused, never guessed: no substitute
// "?", and no best-fit look-alike (a fullwidth quote or backslash would otherwise turn
// into the ASCII one and change what a command line or path means).
TEST(Ansi, TextsWithoutAnExactFormAreRefused) {
  struct Case {
    Text text;
    bool exact;
  };
  const Case cases[] = {
      {u"C:\\좀비\\mal.exe ?", true},
      {u"a\u0E01b", false},                           // Thai
      {u"\uFF02C:\\x.exe\uFF02", true},               // fullwidth quotes: code page 949 has them
      {u"\u02BAC:\\x.exe\u02BA", false},              // a double prime that best fit makes a quote
      {u"C:\u2216x.exe", false},                      // a set minus that best fit makes a backslash
      {u"\U0001F600", false},                         // outside the BMP
      {Text(1, char16_t{0xD800}), false},             // unpaired surrogate
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToAnsiExactly(c.text).has_value(), c.exact) << ToUtf8(c.text);
  }
  EXPECT_TRUE(AnsiCodePageHolds(U'좀'));
  EXPECT_TRUE(AnsiCodePageHolds(U'?'));
  EXPECT_FALSE(AnsiCodePageHolds(U'\u0E01'));
  EXPECT_TRUE(AnsiCodePageHolds(U'\uFF02'));
  EXPECT_FALSE(AnsiCodePageHolds(U'\u02BA'));
  EXPECT_FALSE(AnsiCodePageHolds(U'\U0001F600'));
}

}  // namespace
}  // namespace zc::win
