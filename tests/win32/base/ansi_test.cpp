#include "win32/base/ansi.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace zc::win {
namespace {

TEST(Ansi, KoreanTextCrossesThroughCodePage949) {
  ASSERT_EQ(::GetACP(), 949u) << "the test bed runs with the Korean locale";
  const Text korean = u"좀비 치료기";
  const std::string ansi = ToAnsi(korean);
  EXPECT_EQ(ansi.size(), 11u);  // five Hangul syllables of two bytes, one blank
  EXPECT_EQ(FromAnsi(ansi), korean);
}

TEST(Ansi, CharactersOutsideTheCodePageBecomeTheSubstitute) {
  EXPECT_EQ(ToAnsi(u"a\u0E01b"), "a?b");  // a Thai letter has no place in code page 949
}

}  // namespace
}  // namespace zc::win
