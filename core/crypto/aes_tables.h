#pragma once
// The tables of AES::gentables, computed at compile time by exactly the reference steps
// (gentables, ByteSub, xtime, bmul). gentables copies them into its object, so every
// object still owns its tables while no run time is spent computing them. The unit tests
// check that these values equal the ones the reference algorithm gives when run step by step
// through the object's own private operations.

#include <array>
#include <cstdint>

#include "core/crypto/aes_fields.h"

namespace zc::aes_tables {

using Tables = aes_fields::GeneratedTables;

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

// The inverse column mixing by table: kInvMix[r][v] is the column (0E*v, 09*v, 0D*v, 0B*v)
// of the generated InvTable[SBox[v]] rotated left by 8*r bits, so that for a column word x
// InvMixCol(x) = kInvMix[0][x.b0] ^ kInvMix[1][x.b1] ^ kInvMix[2][x.b2] ^ kInvMix[3][x.b3].
// Valid only for an object whose tables are generated (AES::InvMixCol checks that).
constexpr std::array<std::array<std::uint32_t, 256>, 4> InvMixTables() {
  std::array<std::array<std::uint32_t, 256>, 4> t{};
  for (int v = 0; v < 256; ++v) {
    const std::uint32_t column = kTables.InvTable[kTables.SBox[v]];
    t[0][v] = column;
    t[1][v] = (column << 8) | (column >> 24);
    t[2][v] = (column << 16) | (column >> 16);
    t[3][v] = (column << 24) | (column >> 8);
  }
  return t;
}

inline constexpr std::array<std::array<std::uint32_t, 256>, 4> kInvMix = InvMixTables();

// Class_Initialize's values.
constexpr aes_fields::ConstructionTables Construction() {
  aes_fields::ConstructionTables c;
  for (int i = 0; i < 31; ++i) {
    c.LongMask[i] = static_cast<std::uint32_t>((std::uint64_t{1} << (i + 1)) - 1);
    c.LongPow2[i] = std::uint32_t{1} << i;
  }
  for (int i = 0; i < 8; ++i) {
    c.ByteMask[i] = static_cast<std::uint8_t>((1u << (i + 1)) - 1);
    c.BytePow2[i] = static_cast<std::uint8_t>(1u << i);
  }
  c.InvMixCoeff = {0x0B, 0x0D, 0x09, 0x0E};
  return c;
}

inline constexpr aes_fields::ConstructionTables kConstruction = Construction();

static_assert(kTables.SBox[0] == 0x63 && kTables.SBox[1] == 0x7C && kTables.SBox[0x53] == 0xED);
static_assert(kTables.InvSBox[0x63] == 0 && kTables.LogTab[1] == 255);
static_assert(kTables.RoundConst[8] == 0x1B && kTables.RoundConst[9] == 0x36);

}  // namespace zc::aes_tables
