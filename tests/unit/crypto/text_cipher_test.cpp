// DecryptText, its inverse EncryptText and the stored form.

#include <gtest/gtest.h>

#include "core/crypto/text_cipher.h"
#include "tests/fakes/fake_activity_log.h"

namespace zc {
namespace {

// Known answer from an independent Rijndael (rijndael-js 2.0.0).
constexpr char16_t kStoredZombie[] = u"A187FF9076FD8BF8C1377D1EF863C72CD805067C094D17F964B2524760F8E73C";

TEST(TextCipher, TheTextKeyIsOneCharacter) {
  EXPECT_EQ(TextView(kTextKey).size(), 1u);
}

TEST(TextCipher, KnownStoredForm) {
  fakes::FakeFailureReporter reporter;
  EXPECT_EQ(EncryptText(u"좀비", kTextKey, reporter), kStoredZombie);
  EXPECT_EQ(DecryptText(kStoredZombie, kTextKey, reporter), u"좀비");
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(TextCipher, LowerCaseDigitsAreReadToo) {
  fakes::FakeFailureReporter reporter;
  Text lower(kStoredZombie);
  for (auto& c : lower)
    if (c >= u'A' && c <= u'F') c = static_cast<char16_t>(c - u'A' + u'a');
  EXPECT_EQ(DecryptText(lower, kTextKey, reporter), u"좀비");
  EXPECT_TRUE(reporter.reports.empty());
}

struct LengthCase {
  std::size_t characters;
  std::size_t digits;
};

class StoredLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(StoredLength, DigitsAndRoundTrip) {
  const LengthCase c = GetParam();
  fakes::FakeFailureReporter reporter;
  Text plain;
  for (std::size_t i = 0; i < c.characters; ++i) plain.push_back(static_cast<char16_t>(u'가' + 37 * i));
  const Text stored = EncryptText(plain, kTextKey, reporter);
  EXPECT_EQ(stored.size(), c.digits);
  for (const char16_t d : stored) EXPECT_TRUE((d >= u'0' && d <= u'9') || (d >= u'A' && d <= u'F'));
  EXPECT_EQ(DecryptText(stored, kTextKey, reporter), plain);
  EXPECT_TRUE(reporter.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Characters, StoredLength,
                         ::testing::Values(LengthCase{1, 64}, LengthCase{14, 64}, LengthCase{15, 128},
                                           LengthCase{30, 128}, LengthCase{31, 192},
                                           LengthCase{46, 192}, LengthCase{47, 256}));

// What DecryptText gives back and reports for malformed or refused stored forms.
struct DecryptCase {
  const char* what;
  Text enciphered;
  Text key;
  std::vector<std::pair<Text, Text>> reports;
};

class DecryptTextEmpty : public ::testing::TestWithParam<DecryptCase> {};

TEST_P(DecryptTextEmpty, GivesTheEmptyText) {
  const DecryptCase& c = GetParam();
  fakes::FakeFailureReporter reporter;
  EXPECT_EQ(DecryptText(c.enciphered, c.key, reporter), u"");
  EXPECT_EQ(reporter.reports, c.reports);
}

const Text kStored(kStoredZombie);
const std::pair<Text, Text> kPreFerSubscript{u"PreFer", u"Subscript out of range"};
const std::pair<Text, Text> kPreFerMismatch{u"PreFer", u"Type mismatch"};

INSTANTIATE_TEST_SUITE_P(
    Cases, DecryptTextEmpty,
    ::testing::Values(
        DecryptCase{"EmptyKey", kStored, u"", {}},
        DecryptCase{"EmptyText", u"", kTextKey, {}},
        DecryptCase{"EmptyBoth", u"", u"", {}},
        DecryptCase{"Digits63", kStored.substr(0, 63), kTextKey, {kPreFerSubscript}},
        DecryptCase{"Digits65", kStored + u"0", kTextKey, {kPreFerSubscript}},
        // The last, single digit is converted before its place is looked at.
        DecryptCase{"Digits65EndingInNonHex", kStored + u"G", kTextKey, {kPreFerMismatch}},
        DecryptCase{"OneDigit", u"A", kTextKey, {kPreFerSubscript}},
        DecryptCase{"NonHexPair", u"ZZ" + kStored.substr(2), kTextKey, {kPreFerMismatch}},
        DecryptCase{"NonHexLastPair", kStored.substr(0, 62) + u"0G", kTextKey, {kPreFerMismatch}},
        DecryptCase{"BlankInPair", u" 1" + kStored.substr(2), kTextKey, {kPreFerMismatch}},
        DecryptCase{"SignInPair", u"-1" + kStored.substr(2), kTextKey, {kPreFerMismatch}},
        // Quiet refusals of the envelope: no report.
        DecryptCase{"Digits62NotAWholeBlock", kStored.substr(0, 62), kTextKey, {}},
        DecryptCase{"Digits66NotAWholeBlock", kStored + u"00", kTextKey, {}}),
    [](const auto& param_info) { return std::string(param_info.param.what); });

TEST(TextCipher, AnotherKeyDoesNotGiveTheText) {
  fakes::FakeFailureReporter reporter;
  EXPECT_NE(DecryptText(kStoredZombie, u"x", reporter), u"좀비");
}

TEST(TextCipher, SurrogatePairsAndAsciiRoundTrip) {
  fakes::FakeFailureReporter reporter;
  for (const Text& plain : {Text(u"a"), Text(u"C:\\좀비치료백업\\"), Text(u"😀 emoji"),
                           Text(u"http://127.0.0.1:8731/zombie/definitions.txt")}) {
    EXPECT_EQ(DecryptText(EncryptText(plain, kTextKey, reporter), kTextKey, reporter), plain);
  }
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(TextCipher, EncryptingTheEmptyTextIsRefusedByTheEnvelope) {
  fakes::FakeFailureReporter reporter;
  EXPECT_EQ(EncryptText(u"", kTextKey, reporter), u"");
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].first, u"EncryptData");
}

}  // namespace
}  // namespace zc
