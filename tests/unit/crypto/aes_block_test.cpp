// The block cipher against FIPS-197 Appendix C, the 256-bit block round trip
// and the key schedule's shape.

#include <gtest/gtest.h>

#include "core/crypto/aes.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/crypto/aes_test_access.h"
#include "tests/unit/crypto/test_util.h"

namespace zc {
namespace {

using testing_util::Bytes;
using testing_util::Counting;
using testing_util::Hex;

struct Fips197Case {
  const char* name;
  std::int32_t nk;
  const char* ciphertext;
};

class Fips197AppendixC : public ::testing::TestWithParam<Fips197Case> {};

TEST_P(Fips197AppendixC, EncryptGivesTheVectorAndDecryptInvertsIt) {
  const Fips197Case& c = GetParam();
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  const auto key = Counting(static_cast<std::size_t>(4 * c.nk));
  aes.gkey(4, c.nk, key);

  auto block = Bytes("00112233445566778899aabbccddeeff");
  aes.Encrypt(block);
  EXPECT_EQ(Hex(block), c.ciphertext);
  aes.Decrypt(block);
  EXPECT_EQ(Hex(block), "00112233445566778899AABBCCDDEEFF");
  EXPECT_TRUE(reporter.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Fips197AppendixC,
    ::testing::Values(Fips197Case{"Aes128", 4, "69C4E0D86A7B0430D8CDB78070B4C55A"},
                      Fips197Case{"Aes192", 6, "DDA97CA4864CDFE06EAF70A0EC0D7191"},
                      Fips197Case{"Aes256", 8, "8EA2B7CA516745BFEAFC49904B496089"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// Every block and key length, against known answers from an independent Rijndael
// implementation (rijndael-js 2.0.0): key byte i = 5i+1, plain byte i = 11i+3.
struct KnownAnswer {
  std::int32_t nb;
  std::int32_t nk;
  const char* ciphertext;
};

class RijndaelKnownAnswers : public ::testing::TestWithParam<KnownAnswer> {};

TEST_P(RijndaelKnownAnswers, BothDirections) {
  const KnownAnswer& c = GetParam();
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  aes.gkey(c.nb, c.nk, Counting(static_cast<std::size_t>(4 * c.nk), 1, 5));
  const auto plain = Counting(static_cast<std::size_t>(4 * c.nb), 3, 11);
  auto block = plain;
  aes.Encrypt(block);
  EXPECT_EQ(Hex(block), c.ciphertext);
  aes.Decrypt(block);
  EXPECT_EQ(block, plain);
  EXPECT_TRUE(reporter.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllLengths, RijndaelKnownAnswers,
    ::testing::Values(
        KnownAnswer{4, 4, "1C3618BAC32B9641283B9B2D4AE124D6"},
        KnownAnswer{4, 6, "B7F1EC041C9180836C2F9FC86238C6EA"},
        KnownAnswer{4, 8, "38FA16D92C9B31075463E7AEBC841EE5"},
        KnownAnswer{6, 4, "B3B4C791821E51202AACBEA37B63D8CBDD7D68208B86B512"},
        KnownAnswer{6, 6, "AF49E9D0B8AEFF6F10F8D8A973FAF469C90BFF1E92F876C4"},
        KnownAnswer{6, 8, "543F4FD464B2D8F89C1B6D73AEE025DA9FC60D70362BB334"},
        KnownAnswer{8, 4, "E0F8E4158159E462921B70C4D5CD27C249820B9664C554E40390296F1F219DDE"},
        KnownAnswer{8, 6, "CEED270DB0E3ED55F2728644F9EE2405D1D3F3BEF069EA4921F08EA617309E75"},
        KnownAnswer{8, 8, "BDE0DB5B3E459E0C8636867007832BCD3CA301F682F5F2630BFEB3B0C0B809F7"}),
    [](const auto& param_info) {
      return "Nb" + std::to_string(param_info.param.nb) + "Nk" + std::to_string(param_info.param.nk);
    });

TEST(AesBlock, RoundCountsFollowTheLongerLength) {
  struct Case {
    std::int32_t nb, nk, nr;
  };
  for (const Case c : {Case{4, 4, 10}, Case{4, 6, 12}, Case{4, 8, 14}, Case{6, 4, 12}, Case{6, 6, 12},
                       Case{6, 8, 14}, Case{8, 4, 14}, Case{8, 6, 14}, Case{8, 8, 14}}) {
    fakes::FakeFailureReporter reporter;
    AES aes(reporter);
    AESTestAccess access(aes);
    aes.gentables();
    aes.gkey(c.nb, c.nk, Counting(32));
    EXPECT_EQ(access.Nr(), c.nr) << c.nb << "/" << c.nk;
  }
}

TEST(AesBlock, OnlyTheFirst4NbBytesOfTheBufferChange) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  aes.gkey(4, 4, Counting(16));
  auto buffer = Bytes("00112233445566778899aabbccddeeffA5A5");
  aes.Encrypt(buffer);
  EXPECT_EQ(Hex(buffer), "69C4E0D86A7B0430D8CDB78070B4C55AA5A5");
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(AesBlock, Nb8Nk8RoundTripUsesFourteenRoundsAndAll120KeyWords) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess access(aes);
  aes.gentables();
  aes.gkey(8, 8, Counting(32, 0x10, 7));
  EXPECT_EQ(access.Nr(), 14);
  EXPECT_EQ(access.Nb(), 8);
  EXPECT_EQ(access.Nk(), 8);
  // Row offsets 1, 3, 4 for a 256-bit block.
  for (int j = 0; j < 8; ++j) {
    EXPECT_EQ(access.FwdShift()[3 * j], (j + 1) % 8);
    EXPECT_EQ(access.FwdShift()[3 * j + 1], (j + 3) % 8);
    EXPECT_EQ(access.FwdShift()[3 * j + 2], (j + 4) % 8);
    EXPECT_EQ(access.InvShift()[3 * j], (8 + j - 1) % 8);
    EXPECT_EQ(access.InvShift()[3 * j + 1], (8 + j - 3) % 8);
    EXPECT_EQ(access.InvShift()[3 * j + 2], (8 + j - 4) % 8);
  }
  // The last round key words are used: they differ from the untouched zero state.
  EXPECT_NE(access.EncKey()[119], 0u);
  EXPECT_NE(access.DecKey()[119], 0u);
  // DecKey holds EncKey's first and last round keys swapped.
  for (int j = 0; j < 8; ++j) {
    EXPECT_EQ(access.DecKey()[112 + j], access.EncKey()[j]);
    EXPECT_EQ(access.DecKey()[j], access.EncKey()[112 + j]);
  }

  const auto plain = Counting(32, 0xE0, 3);
  auto block = plain;
  aes.Encrypt(block);
  EXPECT_EQ(Hex(block), "9675E6E13773241D7FCFD4CBEBEBF1C9C96044D97AE3047D7162221392805428");
  aes.Decrypt(block);
  EXPECT_EQ(block, plain);
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc

namespace zc {
namespace {

using testing_util::Counting;

// Failures inside the block routines: each routine traps and reports its own, under its
// own name, and its caller goes on with what the routine returned.
TEST(AesBlockFailures, AShortBufferIsReportedByPackFromAndUnpackFromAndWrittenAsFarAsItGoes) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  aes.gkey(8, 8, Counting(32));
  std::vector<std::uint8_t> buffer = Counting(22);
  const auto before = buffer;
  aes.Encrypt(buffer);
  // Words 5, 6, 7 cannot be read (bytes 20..31), word 5 is written as far as byte 21.
  const std::vector<std::pair<Text, Text>> expected = {
      {u"PackFrom", u"Subscript out of range"},   {u"PackFrom", u"Subscript out of range"},
      {u"PackFrom", u"Subscript out of range"},   {u"UnpackFrom", u"Subscript out of range"},
      {u"UnpackFrom", u"Subscript out of range"}, {u"UnpackFrom", u"Subscript out of range"}};
  EXPECT_EQ(reporter.reports, expected);
  EXPECT_NE(buffer, before);
  EXPECT_EQ(buffer.size(), 22u);
}

TEST(AesBlockFailures, BlockLengthAboveEightWordsFailsInGkeyAndInEncrypt) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess access(aes);
  aes.gentables();
  aes.gkey(9, 8, Counting(32));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0], std::make_pair(Text(u"gkey"), Text(u"Subscript out of range")));
  EXPECT_EQ(access.Nb(), 9);  // set before the failure
  std::vector<std::uint8_t> buffer(36, 0);
  aes.Encrypt(buffer);
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[1], std::make_pair(Text(u"Encrypt"), Text(u"Subscript out of range")));
}

TEST(AesBlockFailures, AShortKeyIsReportedByPackFromAndItsWordsCountAsZero) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  auto key = Counting(16);
  aes.gkey(4, 6, key);  // wants 24 bytes: words 4 and 5 cannot be read
  EXPECT_EQ(reporter.reports.size(), 2u);
  for (const auto& report : reporter.reports) EXPECT_EQ(report.first, u"PackFrom");

  fakes::FakeFailureReporter quiet;
  AES padded(quiet);
  padded.gentables();
  key.resize(24, 0);
  padded.gkey(4, 6, key);
  std::vector<std::uint8_t> a(16, 7);
  std::vector<std::uint8_t> b(16, 7);
  aes.Encrypt(a);
  padded.Encrypt(b);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(quiet.reports.empty());
}

TEST(AesBlockFailures, NonPositiveKeyLengthFailsInGkeyWithoutLooping) {
  for (const std::int32_t nk : {0, -4}) {
    fakes::FakeFailureReporter reporter;
    AES aes(reporter);
    aes.gentables();
    aes.gkey(4, nk, Counting(32));
    ASSERT_EQ(reporter.reports.size(), 1u) << nk;
    EXPECT_EQ(reporter.reports[0].first, u"gkey");
  }
}

TEST(AesBlockFailures, HugeLengthsOverflowInGkey) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  aes.gkey(4, 0x7FFFFFFF, Counting(32));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0], std::make_pair(Text(u"gkey"), Text(u"Overflow")));
}

TEST(AesBlockFailures, WithoutGkeyABlockStaysAsItIs) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  auto buffer = Counting(32);
  aes.Encrypt(buffer);
  aes.Decrypt(buffer);
  EXPECT_EQ(buffer, Counting(32));
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc

namespace zc {
namespace {

// gkey, Encrypt and Decrypt take a way without checks for the supported lengths; it must
// leave exactly the state and blocks of the checked way (the reference steps with every
// check), for every length pair, with and without generated tables.
TEST(AesFastPaths, SameKeyStateAndBlocksAsTheCheckedSteps) {
  for (const bool generated : {true, false}) {
    for (const std::int32_t nb : {4, 6, 8}) {
      for (const std::int32_t nk : {4, 6, 8}) {
        for (const std::uint8_t first : {std::uint8_t{0}, std::uint8_t{0x5A}, std::uint8_t{0xFF}}) {
          fakes::FakeFailureReporter reporter;
          AES fast(reporter);
          AES checked(reporter);
          AESTestAccess f(fast);
          AESTestAccess c(checked);
          if (generated) {
            fast.gentables();
            checked.gentables();
          }
          const auto key = Counting(static_cast<std::size_t>(4 * nk), first, 29);
          fast.gkey(nb, nk, key);
          c.CheckedKey(nb, nk, key);
          SCOPED_TRACE(testing::Message() << "generated " << generated << " Nb " << nb << " Nk " << nk);
          EXPECT_EQ(f.Nb(), c.Nb());
          EXPECT_EQ(f.Nk(), c.Nk());
          EXPECT_EQ(f.Nr(), c.Nr());
          EXPECT_EQ(f.FwdShift(), c.FwdShift());
          EXPECT_EQ(f.InvShift(), c.InvShift());
          EXPECT_EQ(f.EncKey(), c.EncKey());
          EXPECT_EQ(f.DecKey(), c.DecKey());

          const auto plain = Counting(static_cast<std::size_t>(4 * nb), static_cast<std::uint8_t>(first + 1), 53);
          auto a = plain;
          auto b = plain;
          fast.Encrypt(a);
          c.CheckedEncrypt(b);
          EXPECT_EQ(a, b);
          fast.Decrypt(a);
          c.CheckedDecrypt(b);
          EXPECT_EQ(a, b);
          if (generated) {
            EXPECT_EQ(a, plain);
          }
          EXPECT_TRUE(reporter.reports.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace zc
