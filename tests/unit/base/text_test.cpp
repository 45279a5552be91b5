#include "core/base/text.h"

#include <gtest/gtest.h>

namespace zc {
namespace {

TEST(Text, Utf8RoundTripKeepsKoreanAndAstralCharacters) {
  const std::string utf8 = "좀비 치료기 \xF0\x9F\x98\x80 ok";
  const Text text = FromUtf8(utf8);
  EXPECT_EQ(text.substr(0, 6), u"좀비 치료기");
  EXPECT_EQ(text.size(), 6u + 1u + 2u + 3u);  // the emoji is a surrogate pair
  EXPECT_EQ(ToUtf8(text), utf8);
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xE0\x80"), u"\uFFFD\uFFFD");  // truncated sequence
  EXPECT_EQ(ToUtf8(Text(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

TEST(Text, FoldTrimAndDecimal) {
  EXPECT_EQ(FoldCase(u"EvilSvc ÄÖ 좀"), u"evilsvc äö 좀");
  EXPECT_EQ(TrimSpaces(u"  N/A "), u"N/A");
  EXPECT_EQ(TrimSpaces(u"   "), u"");
  EXPECT_EQ(DecimalText(-42), u"-42");
  EXPECT_EQ(DecimalText(4120), u"4120");
}

}  // namespace
}  // namespace zc
