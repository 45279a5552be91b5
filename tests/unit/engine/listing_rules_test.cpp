#include "core/engine/listing_rules.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/engine/finding_texts.h"
#include "core/engine/pattern_search.h"
#include "core/engine/reported_names.h"

namespace zc {
namespace {

TEST(IdOfMatchedLineTest, Table) {
  struct Case {
    const char16_t* listing;
    const char16_t* pattern;
    const char16_t* idText;
    uint32_t id;
  };
  const Case cases[] = {
      // The owning id is the line's last blank-separated field, read whole: 1 to 7 digits.
      {u"  TCP    10.0.0.5:49702   203.0.113.9:443   ESTABLISHED     4120\r\n  TCP  x  77\r\n",
       u"203.0.113.9:443", u"4120", 4120},
      {u"  TCP  1.2.3.4:80  ESTABLISHED     7\r\n", u"1.2.3.4:80", u"7", 7},
      {u"  TCP  1.2.3.4:80  ESTABLISHED     123456\r\n", u"1.2.3.4:80", u"123456", 123456},
      {u"  TCP  1.2.3.4:80  ESTABLISHED     1234567\r\n", u"1.2.3.4:80", u"1234567", 1234567},
      {u"  TCP  1.2.3.4:80  ESTABLISHED 1000708\r\n", u"1.2.3.4:80", u"1000708", 1000708},
      // Tabs and trailing blanks separate fields too.
      {u"  TCP\t1.2.3.4:80\tESTABLISHED\t31337 \t\r\n", u"1.2.3.4:80", u"31337", 31337},
      // The last line of a listing ends at the end of the text.
      {u"  TCP  1.2.3.4:80  ESTABLISHED     77", u"1.2.3.4:80", u"77", 77},
      // A number between two occurrences of the pattern is not the line's id.
      {u"  UDP  [::]:135  [::]:0  LISTENING  900\r\n", u"[::]:", u"900", 900},
      {u"  TCP  10.0.0.5:1000  10.0.0.5:443  ESTABLISHED  42\r\n", u"10.0.0.5:", u"42", 42},
      // A pattern inside the id field still names the line's whole id.
      {u"  TCP  1.2.3.4:80  ESTABLISHED  1234567\r\n", u"ESTABLISHED  12", u"1234567", 1234567},
      // The line of the match, not the next one.
      {u"a p\r\nb 1 2 3   55\r\n", u"p", u"p", 0},
      // A match that ends between a line's CR and LF is on that line; one that ends with
      // the whole CR LF names the next line.
      {u"A 1\r\nB 2\r\n", u"1\r", u"1", 1},
      {u"A 1\r\nB 2\r\n", u"1\r\n", u"2", 2},
      // No id at the line's end: no id.
      {u"  TCP  1.2.3.4:80  LISTENING\r\n  TCP  9\r\n", u"1.2.3.4:80", u"LISTENING", 0},
      {u"p  +12\r\n", u"p", u"+12", 0},
      {u"p  12a\r\n", u"p", u"12a", 0},
      {u"p   \r\n5\r\n", u"p", u"p", 0},
      {u"  p 99999999999\r\n", u"p", u"99999999999", 0},
  };
  for (const Case& c : cases) {
    const TextView listing = c.listing;
    const size_t at = listing.find(c.pattern);
    ASSERT_NE(at, TextView::npos);
    EXPECT_EQ(ToUtf8(IdTextOfMatchedLine(listing, c.pattern, at)), ToUtf8(c.idText)) << ToUtf8(c.listing);
    EXPECT_EQ(ReadProcessId(IdTextOfMatchedLine(listing, c.pattern, at)), c.id) << ToUtf8(c.listing);
  }
  EXPECT_EQ(IdTextOfMatchedLine(u"   ", u" ", 0), u"");
  EXPECT_EQ(ReadProcessId(u"4294967295"), 4294967295u);
}

TEST(IdOfMatchedLineTest, LaterLinesAreWalkedOnlyWhileTheIdIsZero) {
  const TextView listing = u"A p   LISTENING\r\nB p   0\r\nC p   812\r\nD p   900\r\n";
  EXPECT_EQ(FirstProcessIdAfterMatches(listing, u"p", listing.find(u"p")), 812u);
  EXPECT_EQ(FirstProcessIdAfterMatches(u"p 0\r\np x\r\n", u"p", 0), 0u);
}

TEST(ListingNamesAProcessTest, Table) {
  const std::pair<const char16_t*, bool> cases[] = {
      // A console tool that prints owners.
      {u"  Proto  Local Address  Foreign Address  State  PID\r\n"
       u"  TCP    0.0.0.0:135    0.0.0.0:0        LISTENING       1032\r\n",
       true},
      // Only the last line names one, with no CR LF after it; a UDP line, tab-separated.
      {u"  TCP  0.0.0.0:135  0.0.0.0:0  LISTENING\r\n  UDP\t0.0.0.0:123\t*:*\t812", true},
      {u"  TCP  0.0.0.0:135  0.0.0.0:0  LISTENING  7  \r\n", true},
      // One that prints none: lines end in states, addresses, 0 or nothing.
      {u"  Proto  Local Address  Foreign Address  State  PID\r\n"
       u"  TCP    0.0.0.0:135    0.0.0.0:0        LISTENING\r\n"
       u"  UDP    0.0.0.0:123    *:*\r\n",
       false},
      {u"  TCP  0.0.0.0:135  0.0.0.0:0  LISTENING  0\r\n\r\n   \r\n", false},
      // A number that is no id (too wide, signed) and a port glued to its address.
      {u"  TCP  x  4294967296\r\n  TCP  x  -12\r\n  TCP  127.0.0.1:80\r\n", false},
      {u"", false},
  };
  for (const auto& [listing, namesOne] : cases) {
    EXPECT_EQ(AnyLineNamesAProcessId(listing), namesOne) << ToUtf8(listing);
  }
}

TEST(ServicesTextTest, Table) {
  struct Case {
    const char16_t* listing;
    uint32_t id;
    const char16_t* services;
  };
  const Case cases[] = {
      {u"svchost.exe                    1020 DcomLaunch, PlugPlay\r\nnotepad.exe   4480 N/A\r\n", 1020,
       u"DcomLaunch, PlugPlay"},
      {u"svchost.exe                    1020 DcomLaunch, PlugPlay\r\nnotepad.exe   4480 N/A\r\n", 4480, u"N/A"},
      // The id is read whole: 23 is not the end of 1023, nor 1234567 of 11234567.
      {u"a.exe   1023 Alpha\r\nb.exe   23 Beta\r\n", 23, u"Beta"},
      {u"a.exe   1023 Alpha\r\n", 23, u""},
      {u"a.exe   11234567 Alpha\r\nb.exe 1234567 Beta\r\n", 1234567, u"Beta"},
      {u"a.exe   1023 Alpha\r\nb.exe   23 Beta\r\n", 1023, u"Alpha"},
      {u"7 Svc\r\n", 7, u"Svc"},
      {u"a.exe\t7 Svc\r\n", 7, u"Svc"},
      // Cut before the first run of three blanks; trailing blanks before it stay.
      {u"a.exe   7 Svc A  \r\n", 7, u"Svc A  "},
      {u"a.exe   7 Svc   more\r\n", 7, u"Svc"},
      // Ends at the next whole occurrence of the id and blank; digits inside a name do
      // not cut it.
      {u"a.exe   7 one 7 two\r\n", 7, u"one "},
      {u"a.exe   7 Svc17 Foo\r\n", 7, u"Svc17 Foo"},
      // The last line ends at the end of the listing.
      {u"a.exe   7 Svc", 7, u"Svc"},
      // The id without a following blank, or not at all: empty.
      {u"a.exe   7\r\n", 7, u""},
      {u"", 7, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(ServicesTextOf(c.listing, c.id)), ToUtf8(c.services)) << ToUtf8(c.listing) << " id " << c.id;
  }
}

TEST(FindingNameTest, LastPieceOfTheValueOrTheFallback) {
  struct Case {
    const char16_t* value;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"C:\\Windows\\evil.exe", u"evil.exe"},
      {u"C:\\p\\a.exe -k netsvcs", u"a.exe -k netsvcs"},
      {u"\"C:\\Program Files\\x\\svc.exe\"", u"svc.exe\""},
      {u"evil.exe", u"entry"},       // no "\"
      {u"C:\\Windows\\", u"entry"},  // ends with "\"
      {u"\\", u"entry"},
      {u"\\x", u"x"},
  };
  for (const Case& c : cases) EXPECT_EQ(NameFromValue(c.value, u"entry"), c.name) << ToUtf8(c.value);
}

TEST(ReportedNamesTest, EnclosedNamesCompareIgnoringLetterCase) {
  ReportedNames reported;
  EXPECT_FALSE(reported.Contains(u"Evil"));
  reported.Add(u"Evil");
  reported.Add(u"");
  EXPECT_EQ(reported.text(), u"|Evil|||");
  EXPECT_TRUE(reported.Contains(u"EVIL"));
  EXPECT_TRUE(reported.Contains(u"evil"));
  EXPECT_TRUE(reported.Contains(u""));
  EXPECT_FALSE(reported.Contains(u"Evi"));
  reported.Clear();
  EXPECT_FALSE(reported.Contains(u"Evil"));
  EXPECT_EQ(reported.text(), u"");
}

// Brute force: the first occurrence of each pattern by a plain search.
std::vector<size_t> Naive(TextView text, const std::vector<Text>& patterns) {
  std::vector<size_t> out;
  for (const Text& p : patterns) {
    const size_t at = p.empty() ? TextView::npos : text.find(p);
    out.push_back(at == TextView::npos ? MultiPatternSearch::kNotFound : at);
  }
  return out;
}

TEST(MultiPatternSearchTest, FindsWhatAPlainSearchFinds) {
  const Text text = u"ushers she said: his hers; 10.0.0.1:443 10.0.0.1:4430 좀비 end";
  const std::vector<Text> patterns = {u"he",   u"she",          u"his", u"hers", u"",       u"ushers",
                                      u"he",   u"10.0.0.1:443", u"443", u"4430", u"좀비",   u"zzz",
                                      u"end",  u"d",            u"s",   u"e",    u"ers; 1", u"좀비 end!"};
  EXPECT_EQ(MultiPatternSearch(patterns).FirstOccurrences(text), Naive(text, patterns));
  EXPECT_EQ(MultiPatternSearch(patterns).FirstOccurrences(u""), Naive(u"", patterns));
  EXPECT_EQ(MultiPatternSearch({}).FirstOccurrences(text), std::vector<size_t>{});
}

TEST(MultiPatternSearchTest, RandomTextsAgreeWithAPlainSearch) {
  std::mt19937 random(7);
  for (const int alphabet : {2, 4, 60}) {
    for (int round = 0; round < 40; ++round) {
      auto word = [&](size_t length) {
        Text w;
        for (size_t i = 0; i < length; ++i) w.push_back(static_cast<char16_t>(u'a' + random() % alphabet));
        return w;
      };
      std::vector<Text> patterns;
      for (int i = 0; i < 30; ++i) patterns.push_back(word(random() % 6));
      const Text text = word(400);
      ASSERT_EQ(MultiPatternSearch(patterns).FirstOccurrences(text), Naive(text, patterns));
    }
  }
}

TEST(MultiPatternSearchTest, PatternsOfManyDistinctCharactersAreStillFound) {
  // Too many distinct characters for one table: searched one by one instead.
  std::vector<Text> patterns;
  for (char16_t p = 0; p < 300; ++p) {
    Text w;
    for (char16_t i = 0; i < 60; ++i) w.push_back(static_cast<char16_t>(0xAC00 + p * 60 + i));
    patterns.push_back(w);
  }
  const Text text = u"xx" + patterns[299] + u"yy" + patterns[3];
  EXPECT_EQ(MultiPatternSearch(patterns).FirstOccurrences(text), Naive(text, patterns));
}

}  // namespace
}  // namespace zc
