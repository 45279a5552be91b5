#include "core/definitions/load_definitions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/definitions/split_pieces.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_http.h"
#include "tests/unit/definitions/wire_text.h"

namespace zc {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_util::Enciphered;
using testing_util::JoinElements;
using testing_util::PlainDefinitions;
using testing_util::WireText;

class ParseDefinitionsTest : public ::testing::Test {
 protected:
  fakes::FakeFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  DefinitionsSet set_;
};

TEST(SplitPieces, KeepsEveryPieceAndGivesNothingForEmptyText) {
  EXPECT_THAT(SplitPieces(u"", u"|"), IsEmpty());
  EXPECT_THAT(SplitPieces(u"|a|b|", u"|"), ElementsAre(u"", u"a", u"b", u""));
  EXPECT_THAT(SplitPieces(u"a|b", u"|"), ElementsAre(u"a", u"b"));
  EXPECT_THAT(SplitPieces(u"||", u"|"), ElementsAre(u"", u"", u""));
  EXPECT_THAT(SplitPieces(u"x", u"@@"), ElementsAre(u"x"));
  EXPECT_THAT(SplitPieces(u"a@b", u"@@"), ElementsAre(u"a@b"));
  EXPECT_THAT(SplitPieces(u"@@@", u"@@"), ElementsAre(u"", u"@"));
  EXPECT_THAT(SplitPieces(u"a@@@@b", u"@@"), ElementsAre(u"a", u"", u"b"));
}

TEST_F(ParseDefinitionsTest, ReadsTheOddElementsAndKeepsTheWireElements) {
  std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{}, u"anything");
  elements.push_back(u"element 14 is carried");
  elements.push_back(u"");
  const Text body = JoinElements(elements);

  const DefinitionsResult result = ParseDefinitions(body, texts_, set_);

  ASSERT_TRUE(result.ok()) << ToUtf8(DescribeDefinitionsResult(result));
  EXPECT_EQ(set_.DefinitionsElements, elements);
  EXPECT_THAT(set_.InputTunnelPatterns, ElementsAre(u"", u":48121", u":48122", u""));
  EXPECT_THAT(set_.OutputTunnelPatterns, ElementsAre(u"", u":48123", u""));
  EXPECT_THAT(set_.RegistryEntryList, ElementsAre(u"ZcTestAutorun", u"ZcTestAutorun2"));
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"ZcTestSvc"));
  EXPECT_THAT(set_.ConnectionKillPatterns, ElementsAre(u":48129"));
  EXPECT_EQ(set_.HomepageUrl, u"http://127.0.0.1:8731/zombie/");
  EXPECT_THAT(reporter_.reports, IsEmpty());
}

TEST_F(ParseDefinitionsTest, KoreanEntriesAndEmptyPiecesSurviveTheRoundTrip) {
  PlainDefinitions plain;
  plain.serviceNames = "좀비서비스||끝|";
  ASSERT_TRUE(ParseDefinitions(WireText(plain), texts_, set_).ok());
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"좀비서비스", u"", u"끝", u""));
}

TEST_F(ParseDefinitionsTest, BodiesWithTooFewElementsAreFatalAtTheFirstMissingElement) {
  const std::vector<Text> full = testing_util::ElementsOf(PlainDefinitions{});
  const std::vector<Text> thirteen(full.begin(), full.begin() + 13);
  const std::vector<Text> eight(full.begin(), full.begin() + 8);
  Text singleAt;
  for (const Text& element : testing_util::ElementsOf(PlainDefinitions{}, u"x")) {
    if (!singleAt.empty()) singleAt += u"@";
    singleAt += element;
  }
  const struct {
    const char* what;
    Text body;
    size_t missing;
    size_t count;
  } cases[] = {
      {"empty body", u"", 1, 0},
      {"no separator", u"hello", 1, 1},
      {"two separators", JoinElements({full[0], full[1], full[2]}), 3, 3},
      {"single at-signs", singleAt, 1, 1},
      {"eight elements", JoinElements(eight), 9, 8},
      {"thirteen elements", JoinElements(thirteen), 13, 13},
      {"HTML error page", u"<html><head><title>404 Not Found</title></head>\r\n<body>@ not found</body></html>", 1, 1},
  };
  for (const auto& c : cases) {
    DefinitionsSet set;
    const DefinitionsResult result = ParseDefinitions(c.body, texts_, set);
    EXPECT_EQ(result.error, DefinitionsError::TooFewElements) << c.what;
    EXPECT_EQ(result.element, c.missing) << c.what;
    EXPECT_EQ(result.count, c.count) << c.what;
    EXPECT_EQ(set.DefinitionsElements.size(), c.count) << c.what;
    EXPECT_FALSE(DescribeDefinitionsResult(result).empty()) << c.what;
  }
}

TEST_F(ParseDefinitionsTest, DeciphersTheListsBeforeTheHomepage) {
  // Thirteen elements: lists 1 to 11 are read, element 13 is missing, and the homepage
  // (deciphered last) is never reached.
  std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{});
  elements.pop_back();
  const DefinitionsResult result = ParseDefinitions(JoinElements(elements), texts_, set_);
  EXPECT_EQ(result.error, DefinitionsError::TooFewElements);
  EXPECT_THAT(set_.InputTunnelPatterns, ElementsAre(u"", u":48121", u":48122", u""));
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"ZcTestSvc"));
  EXPECT_TRUE(set_.HomepageUrl.empty());
}

TEST_F(ParseDefinitionsTest, FourteenEmptyElementsGiveAnEmptySetAndStartUpGoesOn) {
  const DefinitionsResult result = ParseDefinitions(Text(13 * 2, u'@'), texts_, set_);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(set_.DefinitionsElements.size(), 14u);
  EXPECT_THAT(set_.InputTunnelPatterns, IsEmpty());
  EXPECT_THAT(set_.ConnectionKillPatterns, IsEmpty());
  EXPECT_TRUE(set_.HomepageUrl.empty());
  EXPECT_THAT(reporter_.reports, IsEmpty());
}

TEST_F(ParseDefinitionsTest, AnElementThatDoesNotDecipherGivesAnEmptyListOnly) {
  const Text valid = Enciphered("a|b");
  const struct {
    const char* what;
    Text element;
    bool reported;  // the deciphering reports a malformed stored form
  } cases[] = {
      {"odd digit count", valid.substr(0, valid.size() - 1), true},
      {"one digit more", valid + u"0", true},
      {"not hexadecimal", u"ZZ" + valid.substr(2), true},
      {"trailing line end", valid + u"\r\n", true},
      {"whole blocks missing", valid.substr(0, 62), false},
      {"plain text", u"ab", false},
  };
  const size_t listElements[] = {1, 3, 9, 11, 13};
  for (const auto& c : cases) {
    for (const size_t broken : listElements) {
      std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{});
      elements[broken] = c.element;
      fakes::FakeFailureReporter reporter;
      ConstantTexts texts(reporter);
      DefinitionsSet set;
      ASSERT_TRUE(ParseDefinitions(JoinElements(elements), texts, set).ok()) << c.what;
      const std::vector<Text>* lists[] = {&set.InputTunnelPatterns, &set.OutputTunnelPatterns,
                                          &set.RegistryEntryList, &set.ServiceNameList,
                                          &set.ConnectionKillPatterns};
      for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(lists[i]->empty(), listElements[i] == broken) << c.what << " element " << broken;
      EXPECT_EQ(set.HomepageUrl, u"http://127.0.0.1:8731/zombie/");
      EXPECT_EQ(reporter.reports.size(), c.reported ? 1u : 0u) << c.what;
    }
  }
}

TEST_F(ParseDefinitionsTest, AnUndecipherableHomepageIsEmpty) {
  std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{});
  elements[7] = u"not hex";
  ASSERT_TRUE(ParseDefinitions(JoinElements(elements), texts_, set_).ok());
  EXPECT_TRUE(set_.HomepageUrl.empty());
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"ZcTestSvc"));
}

TEST_F(ParseDefinitionsTest, EvenElementsMayHoldAnything) {
  std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{});
  const Text junk[] = {u"|||", u"a@b", u"zz", u"좀비", Text(1, u'\0'), Enciphered("x"), u"\r\n", u""};
  for (size_t i = 0; i < 7; ++i) elements[2 * i] = junk[i];
  ASSERT_TRUE(ParseDefinitions(JoinElements(elements), texts_, set_).ok());
  EXPECT_THAT(set_.OutputTunnelPatterns, ElementsAre(u"", u":48123", u""));
  EXPECT_EQ(set_.HomepageUrl, u"http://127.0.0.1:8731/zombie/");
  EXPECT_THAT(reporter_.reports, IsEmpty());
}

TEST_F(ParseDefinitionsTest, TwentyMegabyteBodiesEndWithADefinedOutcome) {
  const Text huge(20u << 20, u'A');
  EXPECT_EQ(ParseDefinitions(huge, texts_, set_).error, DefinitionsError::TooFewElements);

  std::vector<Text> elements = testing_util::ElementsOf(PlainDefinitions{});
  elements[0] = huge;
  ASSERT_TRUE(ParseDefinitions(JoinElements(elements), texts_, set_).ok());
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"ZcTestSvc"));

  // A huge element that is read: its odd digit count is reported and its list is empty.
  elements[0].clear();
  elements[11] = Text(20u << 20 | 1, u'F');
  ASSERT_TRUE(ParseDefinitions(JoinElements(elements), texts_, set_).ok());
  EXPECT_THAT(set_.ServiceNameList, IsEmpty());
}

TEST(LoadDefinitions, GetsTheDecipheredAddressAndParsesTheSetItServes) {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts(reporter);
  const Text address = texts.Get(enc::DefinitionsAddress);
  ASSERT_FALSE(address.empty());

  fakes::FakeHttp http;
  http.bodies[address] = WireText(PlainDefinitions{});
  DefinitionsSet set;
  EXPECT_TRUE(LoadDefinitions(http, texts, set, DefinitionsSigner::Unsigned()).ok());
  EXPECT_THAT(http.requests, ElementsAre(address));
  EXPECT_EQ(set.HomepageUrl, u"http://127.0.0.1:8731/zombie/");

  http.bodies[address] = u"<html><body><h1>500 Internal Server Error</h1></body></html>";
  EXPECT_EQ(LoadDefinitions(http, texts, set, DefinitionsSigner::Unsigned()).error, DefinitionsError::TooFewElements);
}

// An error page is never read as a set, even one that happens to look like a set.
TEST(LoadDefinitions, AnAnswerWithAnotherStatusIsNotASet) {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts(reporter);
  const Text address = texts.Get(enc::DefinitionsAddress);
  fakes::FakeHttp http;
  http.bodies[address] = WireText(PlainDefinitions{});
  for (const int status : {404, 500, 302, 203}) {
    http.statuses[address] = status;
    DefinitionsSet set;
    const DefinitionsResult result = LoadDefinitions(http, texts, set, DefinitionsSigner::Unsigned());
    EXPECT_EQ(result.error, DefinitionsError::SetNotServed) << status;
    EXPECT_EQ(result.count, static_cast<size_t>(status));
    EXPECT_THAT(ToUtf8(DescribeDefinitionsResult(result)), ::testing::HasSubstr(std::to_string(status)));
    EXPECT_THAT(set.DefinitionsElements, IsEmpty());
  }
}

TEST(LoadDefinitions, ABodyTooLongToReadIsItsOwnError) {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts(reporter);
  const Text address = texts.Get(enc::DefinitionsAddress);
  fakes::FakeHttp http;
  http.tooLong.insert(address);
  DefinitionsSet set;
  const DefinitionsResult result = LoadDefinitions(http, texts, set, DefinitionsSigner::Unsigned());
  EXPECT_EQ(result.error, DefinitionsError::BodyTooLong);
  EXPECT_EQ(result.detail, u"the answer is longer than 32 MiB");
  EXPECT_EQ(ToUtf8(DescribeDefinitionsResult(result)),
            "the definitions text is too long to be read: the answer is longer than 32 MiB");
  EXPECT_THAT(set.DefinitionsElements, IsEmpty());
}

TEST(LoadDefinitions, ARequestThatCannotBeSentIsItsOwnError) {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts(reporter);
  fakes::FakeHttp http;  // knows no address: the request cannot be sent
  DefinitionsSet set;
  const DefinitionsResult result = LoadDefinitions(http, texts, set, DefinitionsSigner::Unsigned());
  EXPECT_EQ(result.error, DefinitionsError::RequestNotSent);
  EXPECT_EQ(result.detail, u"connection refused");
  EXPECT_THAT(ToUtf8(DescribeDefinitionsResult(result)), ::testing::HasSubstr("connection refused"));
  EXPECT_THAT(set.DefinitionsElements, IsEmpty());
}

}  // namespace
}  // namespace zc
