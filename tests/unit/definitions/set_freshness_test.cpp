#include "core/definitions/set_freshness.h"

#include <gtest/gtest.h>

namespace zc {
namespace {

constexpr int64_t kNow = 1796893200;  // 2026-12-10 09:00:00 UTC

TEST(SetFreshnessTest, OnlyASerialAndAnExpiryOfDigitsAreRead) {
  struct Case {
    const char16_t* text;
    std::optional<SetFreshness> read;
  };
  const Case cases[] = {
      {u"42|1800000000", SetFreshness{42, 1800000000}},
      {u"18446744073709551615|0", SetFreshness{18446744073709551615u, 0}},
      {u"0|1800000000", std::nullopt},  // a serial starts at 1
      {u"18446744073709551616|1", std::nullopt},
      {u"42|9223372036854775808", std::nullopt},
      {u"42", std::nullopt},
      {u"|1800000000", std::nullopt},
      {u"42|", std::nullopt},
      {u"-1|1800000000", std::nullopt},
      {u"42|-5", std::nullopt},
      {u" 42|1800000000", std::nullopt},
      {u"42|1800000000|7", std::nullopt},
      {u"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadSetFreshness(c.text), c.read) << ToUtf8(c.text);
  EXPECT_EQ(ReadSetFreshness(SetFreshnessText({18446744073709551615u, 1800000000})),
            (SetFreshness{18446744073709551615u, 1800000000}));
}

TEST(SetFreshnessTest, OlderAndExpiredSetsAreRefused) {
  struct Case {
    const char* what;
    std::optional<SetFreshness> set;
    std::optional<uint64_t> highest;
    int64_t now;
    bool required;
    FreshnessVerdict verdict;
  };
  const Case cases[] = {
      {"first set on this machine", SetFreshness{5, kNow + 86400}, std::nullopt, kNow, true, FreshnessVerdict::Fresh},
      {"the same set again", SetFreshness{5, kNow + 86400}, 5, kNow, true, FreshnessVerdict::Fresh},
      {"a newer set", SetFreshness{6, kNow + 86400}, 5, kNow, true, FreshnessVerdict::Fresh},
      {"an older set", SetFreshness{4, kNow + 86400}, 5, kNow, true, FreshnessVerdict::Replayed},
      {"an older set without a key", SetFreshness{4, kNow + 86400}, 5, kNow, false, FreshnessVerdict::Replayed},
      {"expired a minute ago, within the allowance", SetFreshness{5, kNow - 60}, 5, kNow, true,
       FreshnessVerdict::Fresh},
      // The allowance is one hour: a clock up to 3600 seconds fast still uses the set.
      {"expired an hour ago, the allowance's end", SetFreshness{5, kNow - 3600}, 5, kNow, true,
       FreshnessVerdict::Fresh},
      {"expired an hour and a second ago", SetFreshness{5, kNow - 3601}, 5, kNow, true, FreshnessVerdict::Expired},
      {"expired a day ago", SetFreshness{5, kNow - 86400}, 5, kNow, true, FreshnessVerdict::Expired},
      {"expires in a second", SetFreshness{5, kNow + 1}, 5, kNow, true, FreshnessVerdict::Fresh},
      {"older and expired", SetFreshness{4, 0}, 5, kNow, true, FreshnessVerdict::Replayed},
      {"no serial, signed build", std::nullopt, 5, kNow, true, FreshnessVerdict::Undated},
      {"no serial, unsigned build", std::nullopt, 5, kNow, false, FreshnessVerdict::Fresh},
  };
  for (const Case& c : cases) {
    const FreshnessVerdict verdict = JudgeFreshness(c.set, c.highest, c.now, c.required);
    EXPECT_EQ(verdict, c.verdict) << c.what;
    EXPECT_EQ(DescribeFreshness(verdict, c.set, c.highest).empty(), verdict == FreshnessVerdict::Fresh) << c.what;
  }
  EXPECT_EQ(ToUtf8(DescribeFreshness(FreshnessVerdict::Replayed, SetFreshness{4, 0}, 5)),
            "the definitions set is older than one already used: its serial number 4 is below 5");
}

TEST(SetFreshnessTest, AStoredSerialIsDigitsOnly) {
  EXPECT_EQ(ReadStoredSerial(u"17"), 17u);
  EXPECT_EQ(ReadStoredSerial(u""), std::nullopt);
  EXPECT_EQ(ReadStoredSerial(u"17 "), std::nullopt);
  EXPECT_EQ(ReadStoredSerial(u"x"), std::nullopt);
}

}  // namespace
}  // namespace zc
