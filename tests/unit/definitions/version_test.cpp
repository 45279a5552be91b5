#include "core/definitions/version.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/definitions/load_definitions.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/definitions/wire_text.h"

namespace zc {
namespace {

TEST(ReadLeadingNumber, ReadsTheNumberATextBeginsWith) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char16_t* text;
    double expected;
  } cases[] = {
      {u"", 0},          {u"abc", 0},         {u"2", 2},           {u" 1 2.5x", 12.5},
      {u"-3", -3},       {u"+4", 4},          {u"- 3", -3},        {u"--3", 0},
      {u"1e2", 100},     {u"1E-2", 0.01},     {u"2d3", 2000},      {u"1 e 2", 100},
      {u"1e", 1},        {u"1e+", 1},         {u"1ex", 1},         {u"&H10", 16},
      {u"&hff", 255},    {u"& H 1F", 31},     {u"&O17", 15},       {u"&o8", 0},
      {u"&H", 0},        {u"&", 0},           {u"&X1", 0},         {u"-&H10", 0},
      {u"3.", 3},        {u".5", 0.5},        {u"-.5", -0.5},      {u".", 0},
      {u"1.2.3", 1.2},   {u"2,5", 2},         {u"v2", 0},          {u"\t\n7", 7},
      {u"2\r\n", 2},     {u"007", 7},         {u"1e400", inf},     {u"-1e400", -inf},
      {u"1e-400", 0},    {u"0e99999", 0},     {u"1e99999999999999999999", inf},
      {u"0.0000000000000000000000000000001e30", 0.1},
      {u"２", 0},        {u"10abc", 10},
  };
  for (const auto& c : cases) {
    const double value = ReadLeadingNumber(c.text);
    if (std::isinf(c.expected)) {
      EXPECT_EQ(value, c.expected) << ToUtf8(c.text);
    } else {
      EXPECT_DOUBLE_EQ(value, c.expected) << ToUtf8(c.text);
    }
  }
}

TEST(ReadLeadingNumber, ALongRunOfDigitsStaysFinite) {
  const Text digits(400, u'9');
  EXPECT_EQ(ReadLeadingNumber(digits), std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(u"0." + digits), 1.0);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(5000, u'0') + u"12"), 12.0);
}

TEST(VersionDifference, RoundsHalvesToTheEvenNumber) {
  const struct {
    const char16_t* minuend;
    const char16_t* subtrahend;
    int64_t expected;
  } cases[] = {
      {u"2026", u"2024", 2}, {u"2.5", u"0", 2},    {u"3.5", u"0", 4},   {u"2026.5", u"2024", 2},
      {u"2027.5", u"2024", 4}, {u"2.6", u"0", 3},  {u"abc", u"1", -1},  {u"", u"", 0},
      {u"0", u"2.5", -2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VersionDifference(c.minuend, c.subtrahend), c.expected) << ToUtf8(c.minuend) << " - " << ToUtf8(c.subtrahend);
}

class VersionCheckTest : public ::testing::Test {
 protected:
  // The set as start-up leaves it, with `version` enciphered in element 5.
  DefinitionsSet SetPublishing(std::string_view version) {
    testing_util::PlainDefinitions plain;
    plain.version = version;
    DefinitionsSet set;
    EXPECT_TRUE(ParseDefinitions(testing_util::WireText(plain), texts_, set).ok());
    return set;
  }

  fakes::FakeFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
};

TEST_F(VersionCheckTest, OnlyAStrictlyGreaterPublishedVersionIsNewer) {
  const int64_t own = OwnVersion(texts_);
  const std::string ownText = std::to_string(own);
  const std::string nextText = std::to_string(own + 1);
  const struct {
    std::string published;
    bool newer;
  } cases[] = {
      {ownText, false},
      {ownText + ".0", false},
      {ownText + ".4", true},  // the published number is compared as read, not rounded
      {nextText, true},
      {" " + nextText + " beta", true},
      {std::to_string(own - 1), false},
      {"", false},
      {"abc", false},
      {"-" + nextText, false},
      {"1e9", true},
  };
  for (const auto& c : cases) {
    const DefinitionsSet set = SetPublishing(c.published);
    EXPECT_EQ(IsNewerVersionPublished(set, texts_), c.newer) << c.published;
  }
}

TEST_F(VersionCheckTest, TheVersionElementIsDecipheredOnlyWhenRead) {
  // An element 5 that does not decipher: parsing it leaves no report, so the parse never
  // deciphered it; reading it does.
  std::vector<Text> elements = testing_util::ElementsOf({});
  elements[5] = u"ABC";  // odd digit count
  DefinitionsSet set;
  ASSERT_TRUE(ParseDefinitions(testing_util::JoinElements(elements), texts_, set).ok());
  EXPECT_TRUE(reporter_.reports.empty());
  EXPECT_EQ(set.DefinitionsElements[5], u"ABC");
  EXPECT_EQ(LatestVersion(set, texts_), u"");
  EXPECT_EQ(reporter_.reports.size(), 1u);

  // Each read deciphers the element as it stands then, nothing kept from before.
  set.DefinitionsElements[5] = testing_util::Enciphered("7.25");
  EXPECT_EQ(LatestVersion(set, texts_), u"7.25");
  set.DefinitionsElements[5] = testing_util::Enciphered("8");
  EXPECT_EQ(LatestVersion(set, texts_), u"8");
  EXPECT_EQ(reporter_.reports.size(), 1u);
}

TEST_F(VersionCheckTest, AnUndecipherableOrMissingVersionCountsAsZero) {
  DefinitionsSet set = SetPublishing("99");
  set.DefinitionsElements[5] = u"123";  // odd digit count: reported, empty
  EXPECT_EQ(LatestVersion(set, texts_), u"");
  EXPECT_FALSE(IsNewerVersionPublished(set, texts_));
  EXPECT_FALSE(reporter_.reports.empty());

  DefinitionsSet none;  // never parsed: no element 5 at all
  EXPECT_EQ(LatestVersion(none, texts_), u"");
  EXPECT_FALSE(IsNewerVersionPublished(none, texts_));
}

}  // namespace
}  // namespace zc
