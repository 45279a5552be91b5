#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/definitions/load_definitions.h"
#include "core/definitions/split_pieces.h"

namespace zc {
namespace {

// "|p1|p2|...|pn|": n entries between an empty first and an empty last piece.
std::vector<Text> BarredList(size_t entries) {
  Text text = u"|";
  for (size_t i = 1; i <= entries; ++i) text += u":" + DecimalText(static_cast<long long>(i)) + u"|";
  return SplitPieces(text, u"|");
}

TEST(PatternTables, CopyTheInnerPiecesIntoTheSlots) {
  const struct {
    const char* what;
    std::vector<Text> pieces;
    std::vector<Text> slots;  // the filled slots from 0 on; the rest must be empty
  } cases[] = {
      {"outer bars, two entries", SplitPieces(u"|a|b|", u"|"), {u"a", u"b"}},
      {"no outer bars", SplitPieces(u"a|b", u"|"), {}},
      {"three pieces", SplitPieces(u"a|b|c", u"|"), {u"b"}},
      {"empty list", {}, {}},
      {"one piece", {u"a"}, {}},
      {"empty inner piece", SplitPieces(u"||x|", u"|"), {u"", u"x"}},
  };
  for (const auto& c : cases) {
    DefinitionsSet set;
    set.InputTunnelPatterns = c.pieces;
    set.OutputTunnelPatterns = c.pieces;
    ASSERT_TRUE(FillPatternTables(set).ok()) << c.what;
    for (const PatternTable* table : {&set.InputTunnelTable, &set.OutputTunnelTable}) {
      for (size_t slot = 0; slot < kPatternTableSlots; ++slot) {
        EXPECT_EQ((*table)[slot], slot < c.slots.size() ? c.slots[slot] : Text()) << c.what << " slot " << slot;
      }
    }
    EXPECT_EQ(PatternEntryCount(c.pieces), c.pieces.size() < 2 ? 0 : c.pieces.size() - 2) << c.what;
  }
}

TEST(PatternTables, AHundredAndTwoPiecesFillEverySlot) {
  DefinitionsSet set;
  set.InputTunnelPatterns = BarredList(100);
  ASSERT_EQ(set.InputTunnelPatterns.size(), 102u);
  ASSERT_TRUE(FillPatternTables(set).ok());
  EXPECT_EQ(set.InputTunnelTable[0], u":1");
  EXPECT_EQ(set.InputTunnelTable[99], u":100");
  EXPECT_EQ(PatternEntryCount(set.InputTunnelPatterns), 100u);
}

TEST(PatternTables, MoreThanAHundredEntriesAreFatalForEitherList) {
  {
    DefinitionsSet set;
    set.InputTunnelPatterns = BarredList(101);  // 103 pieces
    set.OutputTunnelPatterns = BarredList(500);
    const DefinitionsResult result = FillPatternTables(set);
    EXPECT_EQ(result.error, DefinitionsError::InputTunnelListTooLong);
    EXPECT_EQ(result.element, 1u);
    EXPECT_EQ(result.count, 101u);
    EXPECT_TRUE(set.InputTunnelTable[0].empty());
  }
  {
    DefinitionsSet set;
    set.InputTunnelPatterns = BarredList(3);
    set.OutputTunnelPatterns = BarredList(101);
    const DefinitionsResult result = FillPatternTables(set);
    EXPECT_EQ(result.error, DefinitionsError::OutputTunnelListTooLong);
    EXPECT_EQ(result.element, 3u);
    EXPECT_EQ(set.InputTunnelTable[2], u":3");
    EXPECT_THAT(ToUtf8(DescribeDefinitionsResult(result)), ::testing::HasSubstr("101 entries"));
  }
  // The scan never reads beyond the table, even on a list that start-up refused.
  EXPECT_EQ(PatternEntryCount(BarredList(101)), kPatternTableSlots);
}

TEST(PatternTables, ARefillClearsTheSlotsOfTheFormerList) {
  DefinitionsSet set;
  set.OutputTunnelPatterns = BarredList(5);
  ASSERT_TRUE(FillPatternTables(set).ok());
  set.OutputTunnelPatterns = BarredList(2);
  ASSERT_TRUE(FillPatternTables(set).ok());
  EXPECT_EQ(set.OutputTunnelTable[1], u":2");
  EXPECT_TRUE(set.OutputTunnelTable[2].empty());
}

}  // namespace
}  // namespace zc
