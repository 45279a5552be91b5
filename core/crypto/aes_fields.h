#pragma once
// The fields of an AES object in the reference order and with their
// names and sizes, grouped by the step that fills them: construction, gentables, gkey.
// AES inherits the three groups privately, so its routines name the fields directly,
// and each group is set up as one block (one zero fill, one copy of the tables).

#include <array>
#include <cstdint>

namespace zc::aes_fields {

using Word = std::uint32_t;
using Byte = std::uint8_t;

struct ConstructionTables {
  std::array<Word, 31> LongMask{};
  std::array<Word, 31> LongPow2{};
  std::array<Byte, 8> ByteMask{};
  std::array<Byte, 8> BytePow2{};
  std::array<Byte, 4> InvMixCoeff{};
};

struct alignas(64) GeneratedTables {
  std::array<Byte, 256> SBox{};
  std::array<Byte, 256> InvSBox{};
  std::array<Byte, 256> PowTab{};
  std::array<Byte, 256> LogTab{};
  std::array<Word, 256> FwdTable{};
  std::array<Word, 256> InvTable{};
  std::array<Word, 30> RoundConst{};
};

struct KeyState {
  std::int32_t Nk = 0;
  std::int32_t Nb = 0;
  std::int32_t Nr = 0;
  std::array<Byte, 24> FwdShift{};
  std::array<Byte, 24> InvShift{};
  std::array<Word, 120> EncKey{};
  std::array<Word, 120> DecKey{};
};

}  // namespace zc::aes_fields
