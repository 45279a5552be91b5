#include "bench/crypto/baseline_rijndael.h"

#include <algorithm>

namespace zc::bench {

BaselineRijndael::Byte BaselineRijndael::bmul(Byte x, Byte y) const {
  if (x == 0 || y == 0) return 0;
  return PowTab[(LogTab[x] + LogTab[y]) % 255];
}

BaselineRijndael::Word BaselineRijndael::SubByte(Word a) const {
  const Byte b[4] = {SBox[a & 0xFF], SBox[(a >> 8) & 0xFF], SBox[(a >> 16) & 0xFF], SBox[a >> 24]};
  return Pack(b);
}

BaselineRijndael::Byte BaselineRijndael::product(Word x, Word y) const {
  return static_cast<Byte>(bmul(x & 0xFF, y & 0xFF) ^ bmul((x >> 8) & 0xFF, (y >> 8) & 0xFF) ^
                           bmul((x >> 16) & 0xFF, (y >> 16) & 0xFF) ^ bmul(x >> 24, y >> 24));
}

BaselineRijndael::Word BaselineRijndael::InvMixCol(Word x) const {
  Byte b[4];
  Word m = Pack(InvMixCoeff);
  b[3] = product(m, x);
  m = RotateLeft(m, 24);
  b[2] = product(m, x);
  m = RotateLeft(m, 24);
  b[1] = product(m, x);
  m = RotateLeft(m, 24);
  b[0] = product(m, x);
  return Pack(b);
}

BaselineRijndael::Byte BaselineRijndael::ByteSub(Byte x) const {
  Byte y = PowTab[255 - LogTab[x]];
  Byte a = y;
  for (int i = 0; i < 4; ++i) {
    a = RotateLeftByte(a, 1);
    y = static_cast<Byte>(y ^ a);
  }
  return static_cast<Byte>(y ^ 0x63);
}

void BaselineRijndael::gentables() {
  LogTab[0] = 0;
  PowTab[0] = 1;
  LogTab[1] = 0;
  PowTab[1] = 3;
  LogTab[3] = 1;
  for (int i = 2; i < 256; ++i) {
    PowTab[i] = static_cast<Byte>(PowTab[i - 1] ^ xtime(PowTab[i - 1]));
    LogTab[PowTab[i]] = static_cast<Byte>(i);
  }
  SBox[0] = 0x63;
  InvSBox[0x63] = 0;
  for (int i = 1; i < 256; ++i) {
    const Byte y = ByteSub(static_cast<Byte>(i));
    SBox[i] = y;
    InvSBox[y] = static_cast<Byte>(i);
  }
  Byte y = 1;
  for (int i = 0; i < 30; ++i) {
    RoundConst[i] = y;
    y = xtime(y);
  }
  for (int i = 0; i < 256; ++i) {
    Byte s = SBox[i];
    const Byte f[4] = {xtime(s), s, s, static_cast<Byte>(s ^ xtime(s))};
    FwdTable[i] = Pack(f);
    s = InvSBox[i];
    const Byte v[4] = {bmul(InvMixCoeff[3], s), bmul(InvMixCoeff[2], s), bmul(InvMixCoeff[1], s),
                       bmul(InvMixCoeff[0], s)};
    InvTable[i] = Pack(v);
  }
}

void BaselineRijndael::gkey(int nb, int nk, const Byte* key) {
  Nb = nb;
  Nk = nk;
  Nr = Nb < Nk ? Nk + 6 : Nb + 6;
  const int c1 = 1, c2 = Nb < 8 ? 2 : 3, c3 = Nb < 8 ? 3 : 4;
  for (int j = 0; j < Nb; ++j) {
    FwdShift[3 * j] = static_cast<Byte>((j + c1) % Nb);
    FwdShift[3 * j + 1] = static_cast<Byte>((j + c2) % Nb);
    FwdShift[3 * j + 2] = static_cast<Byte>((j + c3) % Nb);
    InvShift[3 * j] = static_cast<Byte>((Nb + j - c1) % Nb);
    InvShift[3 * j + 1] = static_cast<Byte>((Nb + j - c2) % Nb);
    InvShift[3 * j + 2] = static_cast<Byte>((Nb + j - c3) % Nb);
  }
  const int n = Nb * (Nr + 1);
  for (int i = 0; i < Nk; ++i) EncKey[i] = Pack(key + 4 * i);
  for (int j = Nk, k = 0; j < n; j += Nk, ++k) {
    EncKey[j] = EncKey[j - Nk] ^ SubByte(RotateLeft(EncKey[j - 1], 24)) ^ RoundConst[k];
    if (Nk <= 6) {
      for (int i = 1; i < Nk && i + j < n; ++i) EncKey[i + j] = EncKey[i + j - Nk] ^ EncKey[i + j - 1];
    } else {
      for (int i = 1; i < 4 && i + j < n; ++i) EncKey[i + j] = EncKey[i + j - Nk] ^ EncKey[i + j - 1];
      if (j + 4 < n) EncKey[j + 4] = EncKey[j + 4 - Nk] ^ SubByte(EncKey[j + 3]);
      for (int i = 5; i < Nk && i + j < n; ++i) EncKey[i + j] = EncKey[i + j - Nk] ^ EncKey[i + j - 1];
    }
  }
  for (int j = 0; j < Nb; ++j) DecKey[n - Nb + j] = EncKey[j];
  for (int i = Nb; i < n - Nb; i += Nb)
    for (int j = 0; j < Nb; ++j) DecKey[n - Nb - i + j] = InvMixCol(EncKey[i + j]);
  for (int j = n - Nb; j < n; ++j) DecKey[j - n + Nb] = EncKey[j];
}

void BaselineRijndael::Cipher(Byte* buff, const Word* key, const Word* table, const Byte* box,
                              const Byte* shift) {
  Word a[8] = {}, b[8] = {};
  Word* x = a;
  Word* y = b;
  for (int i = 0; i < Nb; ++i) x[i] = Pack(buff + 4 * i) ^ key[i];
  int k = Nb;
  for (int round = 1; round < Nr; ++round) {
    for (int j = 0, m = 0; j < Nb; ++j, m += 3)
      y[j] = key[k++] ^ table[x[j] & 0xFF] ^ RotateLeft(table[(x[shift[m]] >> 8) & 0xFF], 8) ^
             RotateLeft(table[(x[shift[m + 1]] >> 16) & 0xFF], 16) ^ RotateLeft(table[x[shift[m + 2]] >> 24], 24);
    std::swap(x, y);
  }
  for (int j = 0, m = 0; j < Nb; ++j, m += 3)
    y[j] = key[k++] ^ Word{box[x[j] & 0xFF]} ^ RotateLeft(Word{box[(x[shift[m]] >> 8) & 0xFF]}, 8) ^
           RotateLeft(Word{box[(x[shift[m + 1]] >> 16) & 0xFF]}, 16) ^ RotateLeft(Word{box[x[shift[m + 2]] >> 24]}, 24);
  for (int i = 0; i < Nb; ++i) Unpack(y[i], buff + 4 * i);
}

void BaselineRijndael::Encrypt(Byte* buff) { Cipher(buff, EncKey, FwdTable, SBox, FwdShift); }
void BaselineRijndael::Decrypt(Byte* buff) { Cipher(buff, DecKey, InvTable, InvSBox, InvShift); }

std::optional<std::vector<BaselineRijndael::Byte>> BaselineRijndael::DecryptData(const std::vector<Byte>& in,
                                                                               const std::vector<Byte>& password) {
  if (in.size() % 32 != 0 || in.empty()) return std::nullopt;
  Byte key[32] = {};
  std::copy_n(password.begin(), std::min<size_t>(password.size(), 32), key);
  gentables();
  gkey(8, 8, key);
  std::vector<Byte> out(in);
  for (size_t offset = 0; offset < out.size(); offset += 32) Decrypt(out.data() + offset);
  const auto length = static_cast<std::int32_t>(Pack(out.data()));
  if (length > static_cast<std::int64_t>(out.size()) - 4 || length <= 0) return std::nullopt;
  return std::vector<Byte>(out.begin() + 4, out.begin() + 4 + length);
}

std::u16string BaselineDecryptText(std::u16string_view enciphered, std::u16string_view key) {
  if (key.empty() || enciphered.empty() || enciphered.size() % 2 != 0) return {};
  auto digit = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
  };
  std::vector<std::uint8_t> bytes(enciphered.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int high = digit(enciphered[2 * i]);
    const int low = digit(enciphered[2 * i + 1]);
    if (high < 0 || low < 0) return {};
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  std::vector<std::uint8_t> password;
  for (const char16_t c : key) {
    password.push_back(static_cast<std::uint8_t>(c & 0xFF));
    password.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  BaselineRijndael cipher;  // a fresh object per call, like the program's
  const auto payload = cipher.DecryptData(bytes, password);
  if (!payload) return {};
  std::u16string text(payload->size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>((*payload)[2 * i] | ((*payload)[2 * i + 1] << 8));
  return text;
}

}  // namespace zc::bench
