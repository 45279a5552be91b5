#pragma once
// Test-only window into the private operations and fields of AES (the class names this
// class as its friend). Nothing outside tests/ uses it.

#include <span>

#include "core/crypto/aes.h"

namespace zc {

class AESTestAccess {
 public:
  using Word = AES::Word;
  using Byte = AES::Byte;

  explicit AESTestAccess(AES& aes) : a_(aes) {}

  Word LShift(Word v, std::int32_t n) { return a_.LShift(v, n); }
  Word RShift(Word v, std::int32_t n) { return a_.RShift(v, n); }
  Byte LShiftByte(Byte b, std::int32_t n) { return a_.LShiftByte(b, n); }
  Byte RShiftByte(Byte b, std::int32_t n) { return a_.RShiftByte(b, n); }
  Word RotateLeft(Word v, std::int32_t n) { return a_.RotateLeft(v, n); }
  Byte RotateLeftByte(Byte b, std::int32_t n) { return a_.RotateLeftByte(b, n); }
  Word Pack(std::span<const Byte> b) { return a_.Pack(b); }
  Word PackFrom(std::span<const Byte> b, std::int32_t k) { return a_.PackFrom(b, k); }
  void Unpack(Word v, std::span<Byte> b) { a_.Unpack(v, b); }
  void UnpackFrom(Word v, std::span<Byte> b, std::int32_t k) { a_.UnpackFrom(v, b, k); }
  Byte xtime(Byte a) { return a_.xtime(a); }
  Byte bmul(Byte x, Byte y) { return a_.bmul(x, y); }
  Word SubByte(Word w) { return a_.SubByte(w); }
  Byte product(Word x, Word y) { return a_.product(x, y); }
  Word InvMixCol(Word x) { return a_.InvMixCol(x); }
  Byte ByteSub(Byte x) { return a_.ByteSub(x); }
  static bool IsArrayDimensioned(const ByteArray& b) { return AES::IsArrayDimensioned(b); }

  // The checked ways that gkey, Encrypt and Decrypt take outside the supported lengths.
  void CheckedKey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key) { a_.CheckedKey(nb, nk, key); }
  void CheckedEncrypt(std::span<Byte> buff) { a_.Cipher(buff, a_.EncKey, a_.FwdTable, a_.SBox, a_.FwdShift); }
  void CheckedDecrypt(std::span<Byte> buff) { a_.Cipher(buff, a_.DecKey, a_.InvTable, a_.InvSBox, a_.InvShift); }

  auto& LongMask() { return a_.LongMask; }
  auto& LongPow2() { return a_.LongPow2; }
  auto& ByteMask() { return a_.ByteMask; }
  auto& BytePow2() { return a_.BytePow2; }
  auto& InvMixCoeff() { return a_.InvMixCoeff; }
  auto& SBox() { return a_.SBox; }
  auto& InvSBox() { return a_.InvSBox; }
  auto& PowTab() { return a_.PowTab; }
  auto& LogTab() { return a_.LogTab; }
  auto& FwdTable() { return a_.FwdTable; }
  auto& InvTable() { return a_.InvTable; }
  auto& RoundConst() { return a_.RoundConst; }
  std::int32_t Nk() const { return a_.Nk; }
  std::int32_t Nb() const { return a_.Nb; }
  std::int32_t Nr() const { return a_.Nr; }
  auto& FwdShift() { return a_.FwdShift; }
  auto& InvShift() { return a_.InvShift; }
  auto& EncKey() { return a_.EncKey; }
  auto& DecKey() { return a_.DecKey; }

 private:
  AES& a_;
};

}  // namespace zc
