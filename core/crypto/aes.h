#pragma once
// The cipher and its envelope: the class AES, a table-driven Rijndael for block
// and key lengths of 4, 6 or 8 words, bit-exact with standard Rijndael.
//
// Failure policy: every routine except IsArrayDimensioned traps its own
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

#include "core/crypto/aes_fields.h"
#include "core/platform/activity_log.h"

namespace zc {

// A byte array as the cipher sees it: std::nullopt is an array that was never dimensioned
// (IsArrayDimensioned answers false); an empty vector is a dimensioned array with upper
// bound -1.
using ByteArray = std::optional<std::vector<std::uint8_t>>;

class AESTestAccess;  // tests/unit/crypto: reaches the private operations and fields

// The fields (LongMask ... DecKey) come from the three groups of aes_fields.h.
class AES : private aes_fields::ConstructionTables,
            private aes_fields::GeneratedTables,
            private aes_fields::KeyState {
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
  // before gkey. (The values are those of the reference algorithm, produced at compile time
  // by the same steps; every object still owns its own copy.)
  void gentables();

  // Key set-up: nb, nk in {4, 6, 8}; key holds at least 4*nk bytes.
  void gkey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key);

  // Enciphers / deciphers bytes 0 .. 4*Nb-1 of buff in place.
  void Encrypt(std::span<Byte> buff);
  void Decrypt(std::span<Byte> buff);

  // The envelope, always Nb = Nk = 8 with a 32-byte key made of the password.
  ByteArray EncryptData(const ByteArray& bytMessage, const ByteArray& bytPassword);
  // bytIn is taken by value: pass an rvalue and its buffer becomes the result's.
  ByteArray DecryptData(ByteArray bytIn, const ByteArray& bytPassword);

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

  // gkey's two ways: the reference steps without checks for Nb, Nk in {4, 6, 8} and a whole
  // key (nothing can fail there), and the same steps with every check for the rest.
  void ExpandKey(std::int32_t nb, std::int32_t nk, const Byte* key);
  template <int kNb, int kNk>
  void ExpandKeyFor(const Byte* key);
  void CheckedKey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key);

  // Encrypt and Decrypt for key states of the supported lengths and a whole block: the
  // reference steps with constant lengths and nothing to check (see FastCipherFits).
  bool FastCipherFits(std::size_t size) const;
  template <bool kInverse>
  void FastCipher(Byte* buff);
  template <int kNb, bool kInverse>
  void CipherFor(Byte* buff);

  // One block through the rounds with every check: shared body of Encrypt and Decrypt.
  void Cipher(std::span<Byte> buff, const std::array<Word, 120>& key,
              const std::array<Word, 256>& table, const std::array<Byte, 256>& box,
              const std::array<Byte, 24>& shift);

  FailureReporter& reporter_;
};

}  // namespace zc
