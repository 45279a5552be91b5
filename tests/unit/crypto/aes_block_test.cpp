// Part 2.1: the block cipher against FIPS-197 Appendix C, the 256-bit block round trip
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
  EXPECT_NE(block, plain);
  aes.Decrypt(block);
  EXPECT_EQ(block, plain);
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc
