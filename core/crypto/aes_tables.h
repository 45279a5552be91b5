#pragma once
// The tables of AES::gentables, computed at compile time by exactly the steps of Part 2.1
// (gentables, ByteSub, xtime, bmul). gentables copies them into its object, so every
// object still owns its tables while no run time is spent computing them. The unit tests
// check that these values equal the ones the Part's algorithm gives when run step by step
// through the object's own private operations.

#include <array>
#include <cstdint>

namespace zc::aes_tables {

struct Tables {
  std::array<std::uint8_t, 256> SBox{};
  std::array<std::uint8_t, 256> InvSBox{};
  std::array<std::uint8_t, 256> PowTab{};
  std::array<std::uint8_t, 256> LogTab{};
  std::array<std::uint32_t, 256> FwdTable{};
  std::array<std::uint32_t, 256> InvTable{};
  std::array<std::uint32_t, 30> RoundConst{};
};

constexpr std::uint8_t Xtime(std::uint8_t a) {
  return static_cast<std::uint8_t>(((a << 1) & 0xFF) ^ ((a & 0x80) ? 0x1B : 0x00));
}

constexpr std::uint32_t Pack(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  return static_cast<std::uint32_t>(b0) | (static_cast<std::uint32_t>(b1) << 8) |
         (static_cast<std::uint32_t>(b2) << 16) | (static_cast<std::uint32_t>(b3) << 24);
}

constexpr Tables Generate() {
  Tables t;
  // InvMixCoeff of the object: 0x0B, 0x0D, 0x09, 0x0E.
  constexpr std::array<std::uint8_t, 4> inv_mix_coeff{0x0B, 0x0D, 0x09, 0x0E};
  auto bmul = [&t](std::uint8_t x, std::uint8_t y) -> std::uint8_t {
    if (x == 0 || y == 0) return 0;
    return t.PowTab[(static_cast<unsigned>(t.LogTab[x]) + t.LogTab[y]) % 255];
  };
  auto rotl_byte1 = [](std::uint8_t b) {
    return static_cast<std::uint8_t>(((b << 1) & 0xFF) | (b >> 7));
  };
  auto byte_sub = [&](std::uint8_t x) {
    std::uint8_t y = t.PowTab[255 - t.LogTab[x]];
    std::uint8_t a = y;
    for (int i = 0; i < 4; ++i) {
      a = rotl_byte1(a);
      y = static_cast<std::uint8_t>(y ^ a);
    }
    return static_cast<std::uint8_t>(y ^ 0x63);
  };

  // 1-2. Power and log tables of the generator 3.
  t.LogTab[0] = 0;
  t.PowTab[0] = 1;
  t.LogTab[1] = 0;
  t.PowTab[1] = 3;
  t.LogTab[3] = 1;
  for (int i = 2; i <= 255; ++i) {
    t.PowTab[i] = static_cast<std::uint8_t>(t.PowTab[i - 1] ^ Xtime(t.PowTab[i - 1]));
    t.LogTab[t.PowTab[i]] = static_cast<std::uint8_t>(i);
  }
  // 3-4. Substitution boxes.
  t.SBox[0] = 0x63;
  t.InvSBox[0x63] = 0;
  for (int i = 1; i <= 255; ++i) {
    const std::uint8_t y = byte_sub(static_cast<std::uint8_t>(i));
    t.SBox[i] = y;
    t.InvSBox[y] = static_cast<std::uint8_t>(i);
  }
  // 5. Round constants.
  std::uint8_t y = 1;
  for (int i = 0; i < 30; ++i) {
    t.RoundConst[i] = y;
    y = Xtime(y);
  }
  // 6. Round tables.
  for (int i = 0; i < 256; ++i) {
    std::uint8_t s = t.SBox[i];
    t.FwdTable[i] = Pack(Xtime(s), s, s, static_cast<std::uint8_t>(s ^ Xtime(s)));
    s = t.InvSBox[i];
    t.InvTable[i] = Pack(bmul(inv_mix_coeff[3], s), bmul(inv_mix_coeff[2], s),
                         bmul(inv_mix_coeff[1], s), bmul(inv_mix_coeff[0], s));
  }
  return t;
}

inline constexpr Tables kTables = Generate();

static_assert(kTables.SBox[0] == 0x63 && kTables.SBox[1] == 0x7C && kTables.SBox[0x53] == 0xED);
static_assert(kTables.InvSBox[0x63] == 0 && kTables.LogTab[1] == 255);
static_assert(kTables.RoundConst[8] == 0x1B && kTables.RoundConst[9] == 0x36);

}  // namespace zc::aes_tables
