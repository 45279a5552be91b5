// The shift, rotation and packing operations, their edge cases and the counts
// they refuse.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "core/crypto/aes.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/crypto/aes_test_access.h"

namespace zc {
namespace {

using Word = AES::Word;
using Byte = AES::Byte;

enum class Op { LShift, RShift, LShiftByte, RShiftByte, RotateLeft, RotateLeftByte };

struct ShiftCase {
  const char* what;
  Op op;
  Word value;
  std::int32_t count;
  Word expected;
  // The failure reports the call must leave, in order ({} when none).
  std::vector<std::pair<Text, Text>> reports;
};

Word Apply(AESTestAccess& a, Op op, Word v, std::int32_t n) {
  switch (op) {
    case Op::LShift: return a.LShift(v, n);
    case Op::RShift: return a.RShift(v, n);
    case Op::LShiftByte: return a.LShiftByte(static_cast<Byte>(v), n);
    case Op::RShiftByte: return a.RShiftByte(static_cast<Byte>(v), n);
    case Op::RotateLeft: return a.RotateLeft(v, n);
    case Op::RotateLeftByte: return a.RotateLeftByte(static_cast<Byte>(v), n);
  }
  return 0;
}

const std::pair<Text, Text> kOverflowIn(const char16_t* label) { return {label, u"Overflow"}; }
const std::pair<Text, Text> kSubscriptIn(const char16_t* label) { return {label, u"Subscript out of range"}; }

class ShiftCases : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftCases, ResultAndReports) {
  const ShiftCase& c = GetParam();
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess access(aes);
  EXPECT_EQ(Apply(access, c.op, c.value, c.count), c.expected);
  EXPECT_EQ(reporter.reports, c.reports);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ShiftCases,
    ::testing::Values(
        ShiftCase{"LShiftIntoBit31", Op::LShift, 0x40000000u, 1, 0x80000000u, {}},
        ShiftCase{"LShift31KeepsBit0", Op::LShift, 0xFFFFFFFFu, 31, 0x80000000u, {}},
        ShiftCase{"LShift31OfEvenIsZero", Op::LShift, 0xFFFFFFFEu, 31, 0u, {}},
        ShiftCase{"LShiftZeroCount", Op::LShift, 0xDEADBEEFu, 0, 0xDEADBEEFu, {}},
        ShiftCase{"LShiftDropsHighBits", Op::LShift, 0xF0000001u, 4, 0x00000010u, {}},
        ShiftCase{"LShiftCount32Refused", Op::LShift, 1u, 32, 0u, {kOverflowIn(u"LShift")}},
        ShiftCase{"LShiftNegativeRefused", Op::LShift, 1u, -1, 0u, {kOverflowIn(u"LShift")}},
        ShiftCase{"RShift31OfBit31", Op::RShift, 0x80000000u, 31, 1u, {}},
        ShiftCase{"RShiftNoSignExtension", Op::RShift, 0xFFFFFFFFu, 8, 0x00FFFFFFu, {}},
        ShiftCase{"RShiftZeroCount", Op::RShift, 0x80000001u, 0, 0x80000001u, {}},
        ShiftCase{"RShift31OfLowBits", Op::RShift, 0x7FFFFFFFu, 31, 0u, {}},
        ShiftCase{"RShiftCount32Refused", Op::RShift, 1u, 32, 0u, {kOverflowIn(u"RShift")}},
        ShiftCase{"RShiftNegativeRefused", Op::RShift, 1u, -5, 0u, {kOverflowIn(u"RShift")}},
        ShiftCase{"LShiftByteDropsHighBits", Op::LShiftByte, 0x81u, 1, 0x02u, {}},
        ShiftCase{"LShiftByte7KeepsBit0", Op::LShiftByte, 0x03u, 7, 0x80u, {}},
        ShiftCase{"LShiftByte7OfEven", Op::LShiftByte, 0xFEu, 7, 0x00u, {}},
        ShiftCase{"LShiftByteCount8Refused", Op::LShiftByte, 1u, 8, 0u, {kOverflowIn(u"LShiftByte")}},
        ShiftCase{"LShiftByteNegative", Op::LShiftByte, 1u, -1, 0u, {kSubscriptIn(u"LShiftByte")}},
        ShiftCase{"RShiftByte7GivesBit7", Op::RShiftByte, 0x80u, 7, 0x01u, {}},
        ShiftCase{"RShiftByte", Op::RShiftByte, 0xF0u, 4, 0x0Fu, {}},
        ShiftCase{"RShiftByteCount8Refused", Op::RShiftByte, 1u, 8, 0u, {kOverflowIn(u"RShiftByte")}},
        ShiftCase{"RotateLeft24IsTheKeyWordRotation", Op::RotateLeft, 0x44332211u, 24, 0x11443322u, {}},
        ShiftCase{"RotateLeft8", Op::RotateLeft, 0x44332211u, 8, 0x33221144u, {}},
        ShiftCase{"RotateLeft16", Op::RotateLeft, 0x44332211u, 16, 0x22114433u, {}},
        // Count 0 asks RShift for 32 bits, which it refuses; LShift still gives v.
        ShiftCase{"RotateLeft0", Op::RotateLeft, 0x44332211u, 0, 0x44332211u, {kOverflowIn(u"RShift")}},
        ShiftCase{"RotateLeftByte1", Op::RotateLeftByte, 0x81u, 1, 0x03u, {}},
        ShiftCase{"RotateLeftByte1OfTop", Op::RotateLeftByte, 0x80u, 1, 0x01u, {}},
        ShiftCase{"RotateLeftByte9", Op::RotateLeftByte, 0x80u, 9, 0x00u,
                  {kOverflowIn(u"LShiftByte"), kSubscriptIn(u"RShiftByte")}}),
    [](const auto& param_info) { return std::string(param_info.param.what); });

// The native shifts give the results of the reference formulas on the construction tables
// for every count in range.
TEST(ShiftFormulas, NativeShiftsEqualTheTableFormulas) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess a(aes);
  const auto& mask = a.LongMask();
  const auto& pow2 = a.LongPow2();
  auto lshift_formula = [&](Word v, int n) -> Word {
    if (n == 0) return v;
    if (n == 31) return (v & 1) ? 0x80000000u : 0u;
    if (v & (Word{1} << (31 - n))) return ((v & mask[30 - n]) * pow2[n]) | 0x80000000u;
    return (v & mask[31 - n]) * pow2[n];
  };
  auto rshift_formula = [&](Word v, int n) -> Word {
    if (n == 0) return v;
    if (n == 31) return (v & 0x80000000u) ? 1u : 0u;
    Word r = (v & 0x7FFFFFFEu) / pow2[n];
    if (v & 0x80000000u) r |= 0x40000000u / pow2[n - 1];
    return r;
  };
  for (const Word v : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0xDEADBEEFu, 0x12345678u,
                       0xAAAAAAAAu, 0x55555555u, 0x40000000u}) {
    for (int n = 0; n <= 31; ++n) {
      EXPECT_EQ(a.LShift(v, n), lshift_formula(v, n)) << std::hex << v << " << " << std::dec << n;
      EXPECT_EQ(a.RShift(v, n), rshift_formula(v, n)) << std::hex << v << " >> " << std::dec << n;
    }
  }
  for (int b = 0; b < 256; ++b) {
    for (int n = 0; n <= 7; ++n) {
      const Byte byte = static_cast<Byte>(b);
      const Byte left = n == 7 ? ((byte & 1) ? 0x80 : 0) : static_cast<Byte>((byte & a.ByteMask()[7 - n]) * a.BytePow2()[n]);
      EXPECT_EQ(a.LShiftByte(byte, n), left);
      EXPECT_EQ(a.RShiftByte(byte, n), byte / a.BytePow2()[n]);
    }
  }
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(Packing, PackAndUnpackAreLeastSignificantByteFirst) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess a(aes);
  const std::vector<Byte> bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
  EXPECT_EQ(a.Pack(bytes), 0x44332211u);
  EXPECT_EQ(a.PackFrom(bytes, 2), 0x66554433u);
  std::vector<Byte> out(6, 0);
  a.Unpack(0xA4A3A2A1u, out);
  a.UnpackFrom(0xB4B3B2B1u, out, 2);
  EXPECT_EQ(out, (std::vector<Byte>{0xA1, 0xA2, 0xB1, 0xB2, 0xB3, 0xB4}));
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(Packing, WindowsOutsideTheArrayAreReportedAndGiveZero) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  AESTestAccess a(aes);
  const std::vector<Byte> bytes{0x11, 0x22, 0x33, 0x44, 0x55};
  EXPECT_EQ(a.Pack(std::span<const Byte>(bytes).first(3)), 0u);
  EXPECT_EQ(a.PackFrom(bytes, 2), 0u);
  EXPECT_EQ(a.PackFrom(bytes, -1), 0u);
  std::vector<Byte> out(5, 0);
  a.UnpackFrom(0xB4B3B2B1u, out, 3);  // writes bytes 3 and 4, then fails
  EXPECT_EQ(out, (std::vector<Byte>{0, 0, 0, 0xB1, 0xB2}));
  std::vector<Byte> small(2, 0);
  a.Unpack(0xA4A3A2A1u, small);
  EXPECT_EQ(small, (std::vector<Byte>{0xA1, 0xA2}));
  const std::vector<std::pair<Text, Text>> expected{
      kSubscriptIn(u"Pack"), kSubscriptIn(u"PackFrom"), kSubscriptIn(u"PackFrom"),
      kSubscriptIn(u"UnpackFrom"), kSubscriptIn(u"Unpack")};
  EXPECT_EQ(reporter.reports, expected);
}

TEST(Dimensioned, OnlyANeverDimensionedArrayIsUndimensioned) {
  EXPECT_FALSE(AESTestAccess::IsArrayDimensioned(std::nullopt));
  EXPECT_TRUE(AESTestAccess::IsArrayDimensioned(std::vector<Byte>{}));  // upper bound -1
  EXPECT_TRUE(AESTestAccess::IsArrayDimensioned(std::vector<Byte>{1}));
}

}  // namespace
}  // namespace zc
