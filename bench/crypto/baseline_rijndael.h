#pragma once
// The benchmark's baseline: a straightforward implementation of the cipher and the envelope as
// written, with gentables computing every table at run time (power and log tables,
// ByteSub per entry, bmul for the inverse round table) and InvMixCol as four products.
// No failure reporting; used only to show what the program's AES saves per call.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zc::bench {

class BaselineRijndael {
 public:
  using Word = std::uint32_t;
  using Byte = std::uint8_t;

  void gentables();
  void gkey(int nb, int nk, const Byte* key);
  void Encrypt(Byte* buff);
  void Decrypt(Byte* buff);
  std::optional<std::vector<Byte>> DecryptData(const std::vector<Byte>& in, const std::vector<Byte>& password);

 private:
  static Word Pack(const Byte* b) { return b[0] | (Word{b[1]} << 8) | (Word{b[2]} << 16) | (Word{b[3]} << 24); }
  static void Unpack(Word v, Byte* b) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<Byte>(v >> (8 * i));
  }
  static Word RotateLeft(Word v, int n) { return (v << n) | (v >> (32 - n)); }
  static Byte RotateLeftByte(Byte b, int n) { return static_cast<Byte>((b << n) | (b >> (8 - n))); }
  static Byte xtime(Byte a) { return static_cast<Byte>((a << 1) ^ ((a & 0x80) ? 0x1B : 0)); }
  Byte bmul(Byte x, Byte y) const;
  Word SubByte(Word a) const;
  Byte product(Word x, Word y) const;
  Word InvMixCol(Word x) const;
  Byte ByteSub(Byte x) const;
  void Cipher(Byte* buff, const Word* key, const Word* table, const Byte* box, const Byte* shift);

  Byte InvMixCoeff[4] = {0x0B, 0x0D, 0x09, 0x0E};
  Byte SBox[256] = {};
  Byte InvSBox[256] = {};
  Byte PowTab[256] = {};
  Byte LogTab[256] = {};
  Word FwdTable[256] = {};
  Word InvTable[256] = {};
  Word RoundConst[30] = {};
  int Nk = 0, Nb = 0, Nr = 0;
  Byte FwdShift[24] = {};
  Byte InvShift[24] = {};
  Word EncKey[120] = {};
  Word DecKey[120] = {};
};

// DecryptText on the baseline cipher.
std::u16string BaselineDecryptText(std::u16string_view enciphered, std::u16string_view key);

}  // namespace zc::bench
