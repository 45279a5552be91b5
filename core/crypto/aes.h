#pragma once
// Part 2.1 and the envelope of Part 2.2: the class AES, a table-driven Rijndael for block
// and key lengths of 4, 6 or 8 words, bit-exact with standard Rijndael.
//
// Failure policy (Part 2.1): every routine except IsArrayDimensioned traps its own
// run-time failures (an index out of range, an arithmetic overflow), reports them to the
// FailureReporter with its own name as the label and returns at once with what it holds:
// 0 for the word and byte operations, the buffer as far as it was written for Encrypt and
// Decrypt, no bytes for the envelope operations. A failure trapped inside a called
// routine stays there: the caller goes on with the value the callee returned. Nothing is
// ever thrown to the caller.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/platform/activity_log.h"

namespace zc {

// A byte array as the Part sees it: std::nullopt is an array that was never dimensioned
// (IsArrayDimensioned answers false); an empty vector is a dimensioned array with upper
// bound -1.
using ByteArray = std::optional<std::vector<std::uint8_t>>;

class AESTestAccess;  // tests/unit/crypto: reaches the private operations and fields

class AES {
 public:
  using Word = std::uint32_t;
  using Byte = std::uint8_t;

  // Class_Initialize: fills LongMask, LongPow2, ByteMask, BytePow2 and InvMixCoeff; every
  // other field starts at zero. `reporter` receives the failure reports and must outlive
  // the object.
  explicit AES(FailureReporter& reporter);

  AES(const AES&) = delete;
  AES& operator=(const AES&) = delete;

  // Computes SBox, InvSBox, PowTab, LogTab, RoundConst, FwdTable and InvTable. Must run
  // before gkey. (The values are those of the Part's algorithm, produced at compile time
  // by the same steps; every object still owns its own copy.)
  void gentables();

  // Key set-up: nb, nk in {4, 6, 8}; key holds at least 4*nk bytes.
  void gkey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key);

  // Enciphers / deciphers bytes 0 .. 4*Nb-1 of buff in place.
  void Encrypt(std::span<Byte> buff);
  void Decrypt(std::span<Byte> buff);

  // The envelope (Part 2.2), always Nb = Nk = 8 with a 32-byte key made of the password.
  ByteArray EncryptData(const ByteArray& bytMessage, const ByteArray& bytPassword);
  ByteArray DecryptData(const ByteArray& bytIn, const ByteArray& bytPassword);

 private:
  friend class AESTestAccess;

  // One failure report: the routine's label and the failure's description.
  void Fail(const char16_t* label, const char16_t* description);

  Word LShift(Word v, std::int32_t n);
  Word RShift(Word v, std::int32_t n);
  Byte LShiftByte(Byte b, std::int32_t n);
  Byte RShiftByte(Byte b, std::int32_t n);
  Word RotateLeft(Word v, std::int32_t n);
  Byte RotateLeftByte(Byte b, std::int32_t n);
  Word Pack(std::span<const Byte> b);
  Word PackFrom(std::span<const Byte> b, std::int32_t k);
  void Unpack(Word v, std::span<Byte> b);
  void UnpackFrom(Word v, std::span<Byte> b, std::int32_t k);
  Byte xtime(Byte a);
  Byte bmul(Byte x, Byte y);
  Word SubByte(Word a);
  Byte product(Word x, Word y);
  Word InvMixCol(Word x);
  Byte ByteSub(Byte x);
  static bool IsArrayDimensioned(const ByteArray& a);

  // One block through the rounds: shared body of Encrypt and Decrypt.
  void Cipher(std::span<Byte> buff, const std::array<Word, 120>& key,
              const std::array<Word, 256>& table, const std::array<Byte, 256>& box,
              const std::array<Byte, 24>& shift);

  std::array<Word, 31> LongMask{};
  std::array<Word, 31> LongPow2{};
  std::array<Byte, 8> ByteMask{};
  std::array<Byte, 8> BytePow2{};
  std::array<Byte, 4> InvMixCoeff{};
  std::array<Byte, 256> SBox{};
  std::array<Byte, 256> InvSBox{};
  std::array<Byte, 256> PowTab{};
  std::array<Byte, 256> LogTab{};
  std::array<Word, 256> FwdTable{};
  std::array<Word, 256> InvTable{};
  std::array<Word, 30> RoundConst{};
  std::int32_t Nk = 0;
  std::int32_t Nb = 0;
  std::int32_t Nr = 0;
  std::array<Byte, 24> FwdShift{};
  std::array<Byte, 24> InvShift{};
  std::array<Word, 120> EncKey{};
  std::array<Word, 120> DecKey{};

  FailureReporter& reporter_;
};

}  // namespace zc
