#include "core/base/character_references.h"

#include <gtest/gtest.h>

namespace zc {
namespace {

// A code page like Korean Windows' 949: Hangul and ASCII, nothing else.
bool HoldsKorean(char32_t codePoint) {
  return codePoint < 0x80 || (codePoint >= 0xAC00 && codePoint <= 0xD7A3);
}

TEST(CharacterReferences, OnlyWhatTheCodePageLacksIsWrittenAsAReference) {
  struct Case {
    Text text;
    Text written;
  };
  const Case cases[] = {
      {u"C:\\좀비\\mal.exe", u"C:\\좀비\\mal.exe"},                            // held whole: unchanged
      {u"C:\\ไวรัส.exe", u"C:\\&#xE44;&#xE27;&#xE23;&#xE31;&#xE2A;.exe"},      // Thai
      {u"\U0001F600.exe", u"&#x1F600;.exe"},                                    // one reference per pair
      {u"\uFF02C:\\x\uFF02", u"&#xFF02;C:\\x&#xFF02;"},                         // not held here: no look-alike
      {Text(1, char16_t{0xD800}) + u"a", u"&#xD800;a"},                          // unpaired surrogate
      {Text(1, char16_t{0xDC00}), u"&#xDC00;"},
      {u"Tom & Jerry &#x41; &#", u"Tom & Jerry &#x26;#x41; &#x26;#"},         // a literal "&#"
      {u"a\r\nb\tc", u"a&#xD;&#xA;b\tc"},                                      // one line stays one
      {u"", u""},
  };
  for (const Case& c : cases) {
    const Text written = WithCharacterReferences(c.text, &HoldsKorean);
    EXPECT_EQ(written, c.written) << ToUtf8(c.text);
    EXPECT_EQ(WithoutCharacterReferences(written), c.text) << ToUtf8(c.text);
  }
}

TEST(CharacterReferences, MalformedReferencesStayAsTheyAre) {
  for (TextView text : {u"&#x;", u"&#xZZ;", u"&#x41", u"&#x1100000;", u"&#x12345678;", u"&x41;"}) {
    EXPECT_EQ(WithoutCharacterReferences(text), text) << ToUtf8(text);
  }
  EXPECT_EQ(WithoutCharacterReferences(u"&#x41;&#xac00;"), u"A가");
}

}  // namespace
}  // namespace zc
