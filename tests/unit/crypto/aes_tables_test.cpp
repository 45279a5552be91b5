// The construction tables, gentables and the field arithmetic.

#include <gtest/gtest.h>

#include <array>

#include "core/crypto/aes.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/crypto/aes_test_access.h"

namespace zc {
namespace {

using Byte = AES::Byte;
using Word = AES::Word;

// FIPS-197 figure 7.
constexpr std::array<Byte, 256> kFipsSBox = {
    0x63, 0x7c, 0x77, 0x7b, 0xf2, 0x6b, 0x6f, 0xc5, 0x30, 0x01, 0x67, 0x2b, 0xfe, 0xd7, 0xab, 0x76,
    0xca, 0x82, 0xc9, 0x7d, 0xfa, 0x59, 0x47, 0xf0, 0xad, 0xd4, 0xa2, 0xaf, 0x9c, 0xa4, 0x72, 0xc0,
    0xb7, 0xfd, 0x93, 0x26, 0x36, 0x3f, 0xf7, 0xcc, 0x34, 0xa5, 0xe5, 0xf1, 0x71, 0xd8, 0x31, 0x15,
    0x04, 0xc7, 0x23, 0xc3, 0x18, 0x96, 0x05, 0x9a, 0x07, 0x12, 0x80, 0xe2, 0xeb, 0x27, 0xb2, 0x75,
    0x09, 0x83, 0x2c, 0x1a, 0x1b, 0x6e, 0x5a, 0xa0, 0x52, 0x3b, 0xd6, 0xb3, 0x29, 0xe3, 0x2f, 0x84,
    0x53, 0xd1, 0x00, 0xed, 0x20, 0xfc, 0xb1, 0x5b, 0x6a, 0xcb, 0xbe, 0x39, 0x4a, 0x4c, 0x58, 0xcf,
    0xd0, 0xef, 0xaa, 0xfb, 0x43, 0x4d, 0x33, 0x85, 0x45, 0xf9, 0x02, 0x7f, 0x50, 0x3c, 0x9f, 0xa8,
    0x51, 0xa3, 0x40, 0x8f, 0x92, 0x9d, 0x38, 0xf5, 0xbc, 0xb6, 0xda, 0x21, 0x10, 0xff, 0xf3, 0xd2,
    0xcd, 0x0c, 0x13, 0xec, 0x5f, 0x97, 0x44, 0x17, 0xc4, 0xa7, 0x7e, 0x3d, 0x64, 0x5d, 0x19, 0x73,
    0x60, 0x81, 0x4f, 0xdc, 0x22, 0x2a, 0x90, 0x88, 0x46, 0xee, 0xb8, 0x14, 0xde, 0x5e, 0x0b, 0xdb,
    0xe0, 0x32, 0x3a, 0x0a, 0x49, 0x06, 0x24, 0x5c, 0xc2, 0xd3, 0xac, 0x62, 0x91, 0x95, 0xe4, 0x79,
    0xe7, 0xc8, 0x37, 0x6d, 0x8d, 0xd5, 0x4e, 0xa9, 0x6c, 0x56, 0xf4, 0xea, 0x65, 0x7a, 0xae, 0x08,
    0xba, 0x78, 0x25, 0x2e, 0x1c, 0xa6, 0xb4, 0xc6, 0xe8, 0xdd, 0x74, 0x1f, 0x4b, 0xbd, 0x8b, 0x8a,
    0x70, 0x3e, 0xb5, 0x66, 0x48, 0x03, 0xf6, 0x0e, 0x61, 0x35, 0x57, 0xb9, 0x86, 0xc1, 0x1d, 0x9e,
    0xe1, 0xf8, 0x98, 0x11, 0x69, 0xd9, 0x8e, 0x94, 0x9b, 0x1e, 0x87, 0xe9, 0xce, 0x55, 0x28, 0xdf,
    0x8c, 0xa1, 0x89, 0x0d, 0xbf, 0xe6, 0x42, 0x68, 0x41, 0x99, 0x2d, 0x0f, 0xb0, 0x54, 0xbb, 0x16};

class AesTables : public ::testing::Test {
 protected:
  fakes::FakeFailureReporter reporter;
  AES aes{reporter};
  AESTestAccess access{aes};
};

TEST_F(AesTables, ConstructionFillsTheShiftTablesAndTheInverseMixingCoefficients) {
  for (int i = 0; i < 31; ++i) {
    EXPECT_EQ(access.LongMask()[i], (std::uint64_t{1} << (i + 1)) - 1) << i;
    EXPECT_EQ(access.LongPow2()[i], Word{1} << i) << i;
  }
  EXPECT_EQ(access.LongMask()[30], 0x7FFFFFFFu);
  EXPECT_EQ(access.LongPow2()[30], 0x40000000u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(access.ByteMask()[i], (1u << (i + 1)) - 1) << i;
    EXPECT_EQ(access.BytePow2()[i], 1u << i) << i;
  }
  EXPECT_EQ(access.InvMixCoeff(), (std::array<Byte, 4>{0x0B, 0x0D, 0x09, 0x0E}));
}

TEST_F(AesTables, EverythingElseStartsAtZero) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(access.SBox()[i] | access.InvSBox()[i] | access.PowTab()[i] | access.LogTab()[i], 0);
    EXPECT_EQ(access.FwdTable()[i] | access.InvTable()[i], 0u);
  }
  EXPECT_EQ(access.Nb() | access.Nk() | access.Nr(), 0);
}

// gentables takes its values from compile time; they must be exactly those of the reference
// algorithm run step by step with the object's own private operations.
TEST_F(AesTables, GentablesEqualsThePartsAlgorithmRunThroughThePrivateOperations) {
  fakes::FakeFailureReporter other_reporter;
  AES stepwise(other_reporter);
  AESTestAccess s(stepwise);
  s.LogTab()[0] = 0;
  s.PowTab()[0] = 1;
  s.LogTab()[1] = 0;
  s.PowTab()[1] = 3;
  s.LogTab()[3] = 1;
  for (int i = 2; i <= 255; ++i) {
    s.PowTab()[i] = static_cast<Byte>(s.PowTab()[i - 1] ^ s.xtime(s.PowTab()[i - 1]));
    s.LogTab()[s.PowTab()[i]] = static_cast<Byte>(i);
  }
  s.SBox()[0] = 0x63;
  s.InvSBox()[0x63] = 0;
  for (int i = 1; i <= 255; ++i) {
    const Byte y = s.ByteSub(static_cast<Byte>(i));
    s.SBox()[i] = y;
    s.InvSBox()[y] = static_cast<Byte>(i);
  }
  Byte y = 1;
  for (int i = 0; i < 30; ++i) {
    s.RoundConst()[i] = y;
    y = s.xtime(y);
  }
  const auto& c = s.InvMixCoeff();
  for (int i = 0; i < 256; ++i) {
    Byte v = s.SBox()[i];
    const std::array<Byte, 4> fwd{s.xtime(v), v, v, static_cast<Byte>(v ^ s.xtime(v))};
    s.FwdTable()[i] = s.Pack(fwd);
    v = s.InvSBox()[i];
    const std::array<Byte, 4> inv{s.bmul(c[3], v), s.bmul(c[2], v), s.bmul(c[1], v), s.bmul(c[0], v)};
    s.InvTable()[i] = s.Pack(inv);
  }

  aes.gentables();
  EXPECT_EQ(access.PowTab(), s.PowTab());
  EXPECT_EQ(access.LogTab(), s.LogTab());
  EXPECT_EQ(access.SBox(), s.SBox());
  EXPECT_EQ(access.InvSBox(), s.InvSBox());
  EXPECT_EQ(access.RoundConst(), s.RoundConst());
  EXPECT_EQ(access.FwdTable(), s.FwdTable());
  EXPECT_EQ(access.InvTable(), s.InvTable());
  EXPECT_TRUE(reporter.reports.empty());
  EXPECT_TRUE(other_reporter.reports.empty());
}

TEST_F(AesTables, SBoxIsTheFipsSBoxAndInvSBoxItsInverse) {
  aes.gentables();
  EXPECT_EQ(access.SBox()[0], 0x63);
  EXPECT_EQ(access.SBox()[1], 0x7C);
  EXPECT_EQ(access.SBox(), kFipsSBox);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(access.InvSBox()[access.SBox()[i]], i);
}

TEST_F(AesTables, RoundConstHoldsThirtyDoublings) {
  aes.gentables();
  const std::array<Word, 10> first{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1B, 0x36};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(access.RoundConst()[i], first[i]);
  for (int i = 1; i < 30; ++i)
    EXPECT_EQ(access.RoundConst()[i], access.xtime(static_cast<Byte>(access.RoundConst()[i - 1])));
  EXPECT_EQ(access.RoundConst()[29], 0x91u);
}

TEST_F(AesTables, LogTabOfOneEndsAs255AndBmulStillMultiplies) {
  aes.gentables();
  EXPECT_EQ(access.LogTab()[1], 255);
  EXPECT_EQ(access.LogTab()[0], 0);
  EXPECT_EQ(access.PowTab()[255], 1);
  for (int i = 0; i < 255; ++i) EXPECT_EQ(access.LogTab()[access.PowTab()[i]], i == 0 ? 255 : i);
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(access.bmul(1, static_cast<Byte>(v)), v);
    EXPECT_EQ(access.bmul(static_cast<Byte>(v), 1), v);
    EXPECT_EQ(access.bmul(0, static_cast<Byte>(v)), 0);
    EXPECT_EQ(access.bmul(static_cast<Byte>(v), 0), 0);
  }
  // FIPS-197 section 4.2: {57} * {83} = {c1}, {57} * {13} = {fe}.
  EXPECT_EQ(access.bmul(0x57, 0x83), 0xC1);
  EXPECT_EQ(access.bmul(0x57, 0x13), 0xFE);
  EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(AesTables, XtimeDoublesInTheField) {
  // FIPS-197 section 4.2.1: {57} doubled repeatedly.
  EXPECT_EQ(access.xtime(0x57), 0xAE);
  EXPECT_EQ(access.xtime(0xAE), 0x47);
  EXPECT_EQ(access.xtime(0x47), 0x8E);
  EXPECT_EQ(access.xtime(0x8E), 0x07);
  EXPECT_EQ(access.xtime(0x80), 0x1B);
  EXPECT_EQ(access.xtime(0x00), 0x00);
}

TEST_F(AesTables, SubByteAndProduct) {
  aes.gentables();
  EXPECT_EQ(access.SubByte(0x00010253u), 0x637C77EDu);
  // product = sum of byte-wise products.
  EXPECT_EQ(access.product(0x01010101u, 0x04030201u), 0x04 ^ 0x03 ^ 0x02 ^ 0x01);
  EXPECT_EQ(access.product(0x00000057u, 0x00000083u), 0xC1);
  EXPECT_EQ(access.product(0x57000000u, 0x13000000u), 0xFE);
}

// The reference InvMixCol: four products of the rotated coefficient word.
Word InvMixColByProducts(AESTestAccess& a, Word x) {
  Word m = a.Pack(a.InvMixCoeff());
  const Byte b3 = a.product(m, x);
  m = a.RotateLeft(m, 24);
  const Byte b2 = a.product(m, x);
  m = a.RotateLeft(m, 24);
  const Byte b1 = a.product(m, x);
  m = a.RotateLeft(m, 24);
  const Byte b0 = a.product(m, x);
  const std::array<Byte, 4> bytes{b0, b1, b2, b3};
  return a.Pack(bytes);
}

TEST_F(AesTables, InvMixColEqualsThePartsProductsBeforeAndAfterGentables) {
  std::uint32_t x = 0x12345678u;
  for (int i = 0; i < 5000; ++i) {
    x = x * 1664525u + 1013904223u;
    ASSERT_EQ(access.InvMixCol(x), InvMixColByProducts(access, x)) << "before gentables " << x;
  }
  aes.gentables();
  for (const Word edge : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0x000000FFu}) {
    EXPECT_EQ(access.InvMixCol(edge), InvMixColByProducts(access, edge)) << edge;
  }
  for (int i = 0; i < 20000; ++i) {
    x = x * 1664525u + 1013904223u;
    ASSERT_EQ(access.InvMixCol(x), InvMixColByProducts(access, x)) << x;
  }
  // FIPS-197 / Rijndael MixColumns example column (db 13 53 45) -> (8e 4d a1 bc), inverted.
  EXPECT_EQ(access.InvMixCol(0xBCA14D8Eu), 0x455313DBu);
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc
