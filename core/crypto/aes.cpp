#include "core/crypto/aes.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/crypto/aes_tables.h"
#include "core/crypto/failures.h"

namespace zc {

namespace {

using failure::kOverflow;
using failure::kSubscriptOutOfRange;

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// The block and key lengths the cipher supports, in words.
constexpr bool IsStandardLength(std::int32_t words) { return words == 4 || words == 6 || words == 8; }

}  // namespace

// The checked operations every routine uses for its own work: an index outside the
// array, a value that does not fit its 32-bit integer or byte, raise a Failure that the
// routine traps (see the class comment).
namespace {

struct Raise {
  const char16_t* description;
};

template <class T, std::size_t N>
T& At(std::array<T, N>& a, std::int64_t i) {
  if (i < 0 || i >= static_cast<std::int64_t>(N)) throw Raise{kSubscriptOutOfRange};
  return a[static_cast<std::size_t>(i)];
}

template <class T, std::size_t N>
const T& At(const std::array<T, N>& a, std::int64_t i) {
  if (i < 0 || i >= static_cast<std::int64_t>(N)) throw Raise{kSubscriptOutOfRange};
  return a[static_cast<std::size_t>(i)];
}

std::int32_t Int32(std::int64_t v) {
  if (v < kInt32Min || v > kInt32Max) throw Raise{kOverflow};
  return static_cast<std::int32_t>(v);
}

// a mod n with the sign of a (as the reference Mod and C++'s %), without a division in the
// common case 0 <= a < 2n that gkey meets for every valid block length.
std::int64_t Mod(std::int64_t a, std::int64_t n) {
  if (a >= 0 && a < 2 * n) return a >= n ? a - n : a;
  return a % n;
}

std::uint8_t ToByte(std::int64_t v) {
  if (v < 0 || v > 255) throw Raise{kOverflow};
  return static_cast<std::uint8_t>(v);
}

}  // namespace

void AES::Fail(const char16_t* label, const char16_t* description) {
  reporter_.Report(label, description);
}

// ---- Class_Initialize -----------------------------------------------------------------

AES::AES(FailureReporter& reporter)
    : ConstructionTables(aes_tables::kConstruction), GeneratedTables{}, KeyState{}, reporter_(reporter) {}

// ---- shifts and rotations -------------------------------------------------------------
// Native unsigned shifts give the results of the reference table formulas for every count
// in range; a count out of range is refused with an overflow failure.

AES::Word AES::LShift(Word v, std::int32_t n) {
  if (n < 0 || n > 31) {
    Fail(u"LShift", kOverflow);
    return 0;
  }
  return static_cast<Word>(v << n);
}

AES::Word AES::RShift(Word v, std::int32_t n) {
  if (n < 0 || n > 31) {
    Fail(u"RShift", kOverflow);
    return 0;
  }
  return static_cast<Word>(v >> n);
}

// A negative count indexes ByteMask / BytePow2 below 0; a count above 7 is refused.
AES::Byte AES::LShiftByte(Byte b, std::int32_t n) {
  if (n < 0 || n > 7) {
    Fail(u"LShiftByte", n < 0 ? kSubscriptOutOfRange : kOverflow);
    return 0;
  }
  return static_cast<Byte>((b << n) & 0xFF);
}

AES::Byte AES::RShiftByte(Byte b, std::int32_t n) {
  if (n < 0 || n > 7) {
    Fail(u"RShiftByte", n < 0 ? kSubscriptOutOfRange : kOverflow);
    return 0;
  }
  return static_cast<Byte>(b >> n);
}

AES::Word AES::RotateLeft(Word v, std::int32_t n) {
  const std::int64_t back = std::int64_t{32} - n;
  if (back > kInt32Max) {
    Fail(u"RotateLeft", kOverflow);
    return 0;
  }
  const Word left = LShift(v, n);  // LShift first: the reports keep this order
  return left | RShift(v, static_cast<std::int32_t>(back));
}

AES::Byte AES::RotateLeftByte(Byte b, std::int32_t n) {
  const std::int64_t back = std::int64_t{8} - n;
  if (back > kInt32Max) {
    Fail(u"RotateLeftByte", kOverflow);
    return 0;
  }
  const Byte left = LShiftByte(b, n);
  return static_cast<Byte>(left | RShiftByte(b, static_cast<std::int32_t>(back)));
}

// ---- packing --------------------------------------------------------------------------
// Pack and PackFrom read the bytes from the most significant down, so a window that
// leaves the array fails before anything is computed and gives 0. Unpack and UnpackFrom
// write from the least significant byte up and stop at the first byte outside the array.

AES::Word AES::Pack(std::span<const Byte> b) {
  if (b.size() < 4) {
    Fail(u"Pack", kSubscriptOutOfRange);
    return 0;
  }
  return aes_tables::Pack(b[0], b[1], b[2], b[3]);
}

AES::Word AES::PackFrom(std::span<const Byte> b, std::int32_t k) {
  const std::int64_t first = k;
  if (first < 0 || first + 3 >= static_cast<std::int64_t>(b.size())) {
    Fail(u"PackFrom", kSubscriptOutOfRange);
    return 0;
  }
  const std::size_t i = static_cast<std::size_t>(first);
  return aes_tables::Pack(b[i], b[i + 1], b[i + 2], b[i + 3]);
}

void AES::Unpack(Word v, std::span<Byte> b) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (i >= b.size()) {
      Fail(u"Unpack", kSubscriptOutOfRange);
      return;
    }
    b[i] = static_cast<Byte>(v >> (8 * i));
  }
}

void AES::UnpackFrom(Word v, std::span<Byte> b, std::int32_t k) {
  for (std::int64_t i = 0; i < 4; ++i) {
    const std::int64_t at = std::int64_t{k} + i;
    if (at < 0 || at >= static_cast<std::int64_t>(b.size())) {
      Fail(u"UnpackFrom", kSubscriptOutOfRange);
      return;
    }
    b[static_cast<std::size_t>(at)] = static_cast<Byte>(v >> (8 * i));
  }
}

// ---- field arithmetic -----------------------------------------------------------------

AES::Byte AES::xtime(Byte a) { return aes_tables::Xtime(a); }

AES::Byte AES::bmul(Byte x, Byte y) {
  if (x == 0 || y == 0) return 0;
  return PowTab[(static_cast<unsigned>(LogTab[x]) + LogTab[y]) % 255];
}

AES::Word AES::SubByte(Word a) {
  return aes_tables::Pack(SBox[a & 0xFF], SBox[(a >> 8) & 0xFF], SBox[(a >> 16) & 0xFF],
                          SBox[a >> 24]);
}

AES::Byte AES::product(Word x, Word y) {
  return static_cast<Byte>(bmul(x & 0xFF, y & 0xFF) ^ bmul((x >> 8) & 0xFF, (y >> 8) & 0xFF) ^
                           bmul((x >> 16) & 0xFF, (y >> 16) & 0xFF) ^ bmul(x >> 24, y >> 24));
}

// The reference computes the column as four products with the rotated coefficient word
// (b3 = product(m, x), then b2, b1, b0 after successive RotateLeft(m, 24)). The tables an
// object can hold are of two kinds only: all zero (before gentables; every product is
// then 0, and so is the column) or the generated ones (gentables is their only writer
// and cannot fail; SBox[0] is then 0x63). For generated tables the same products are
// read from compile-time tables of the inverse-mixing multiples (aes_tables::kInvMix,
// built from InvTable[SBox[v]]). The unit tests compare both ways over many words.
namespace {

inline std::uint32_t InvMixColumn(const std::array<std::uint8_t, 256>& sbox, std::uint32_t x) {
  if (sbox[0] != 0x63) return 0;  // tables not generated: every product is 0
  const auto& t = aes_tables::kInvMix;
  return t[0][x & 0xFF] ^ t[1][(x >> 8) & 0xFF] ^ t[2][(x >> 16) & 0xFF] ^ t[3][x >> 24];
}

}  // namespace

AES::Word AES::InvMixCol(Word x) { return InvMixColumn(SBox, x); }

AES::Byte AES::ByteSub(Byte x) {
  Byte y = PowTab[255 - LogTab[x]];
  Byte a = y;
  for (int i = 0; i < 4; ++i) {
    a = RotateLeftByte(a, 1);
    y = static_cast<Byte>(y ^ a);
  }
  return static_cast<Byte>(y ^ 0x63);
}

bool AES::IsArrayDimensioned(const ByteArray& a) { return a.has_value(); }

// ---- tables and key -------------------------------------------------------------------

void AES::gentables() { static_cast<GeneratedTables&>(*this) = aes_tables::kTables; }

// For the supported lengths with a whole key no step can fail, and ExpandKey runs the
// same steps without the checks; everything else takes the checked way.
void AES::gkey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key) {
  if (IsStandardLength(nb) && IsStandardLength(nk) && key.size() >= static_cast<std::size_t>(4 * nk)) {
    ExpandKey(nb, nk, key.data());
  } else {
    CheckedKey(nb, nk, key);
  }
}

void AES::ExpandKey(std::int32_t nb, std::int32_t nk, const Byte* key) {
  switch (nb * 16 + nk) {
    case 4 * 16 + 4: return ExpandKeyFor<4, 4>(key);
    case 4 * 16 + 6: return ExpandKeyFor<4, 6>(key);
    case 4 * 16 + 8: return ExpandKeyFor<4, 8>(key);
    case 6 * 16 + 4: return ExpandKeyFor<6, 4>(key);
    case 6 * 16 + 6: return ExpandKeyFor<6, 6>(key);
    case 6 * 16 + 8: return ExpandKeyFor<6, 8>(key);
    case 8 * 16 + 4: return ExpandKeyFor<8, 4>(key);
    case 8 * 16 + 6: return ExpandKeyFor<8, 6>(key);
    default: return ExpandKeyFor<8, 8>(key);
  }
}

// The reference gkey steps for fixed lengths: every index is in range, so nothing to check,
// and the loops have constant bounds.
template <int kNb, int kNk>
void AES::ExpandKeyFor(const Byte* key) {
  constexpr int kNr = (kNb < kNk ? kNk : kNb) + 6;
  constexpr int kC2 = kNb < 8 ? 2 : 3;
  constexpr int kC3 = kNb < 8 ? 3 : 4;
  constexpr int n = kNb * (kNr + 1);
  Nb = kNb;
  Nk = kNk;
  Nr = kNr;
  for (int j = 0; j < kNb; ++j) {
    FwdShift[3 * j] = static_cast<Byte>((j + 1) % kNb);
    FwdShift[3 * j + 1] = static_cast<Byte>((j + kC2) % kNb);
    FwdShift[3 * j + 2] = static_cast<Byte>((j + kC3) % kNb);
    InvShift[3 * j] = static_cast<Byte>((kNb + j - 1) % kNb);
    InvShift[3 * j + 1] = static_cast<Byte>((kNb + j - kC2) % kNb);
    InvShift[3 * j + 2] = static_cast<Byte>((kNb + j - kC3) % kNb);
  }
  Word* w = EncKey.data();
  Word* d = DecKey.data();
  // Each key word is stored as soon as it is known, with its place in the decryption key
  // (the reference's step 7, same final values): the first and last round keys swap places,
  // the words of the rounds between go through InvMixCol. Interleaving lets the column
  // mixing overlap the serial chain of the expansion.
  auto put = [w, d, this](int q, Word value) {
    w[q] = value;
    const int column = q % kNb;
    const int round_start = q - column;
    if (q < kNb) {
      d[n - kNb + q] = value;
    } else if (q >= n - kNb) {
      d[q - n + kNb] = value;
    } else {
      d[n - kNb - round_start + column] = InvMixColumn(SBox, value);  // InvMixCol
    }
  };
  for (int i = 0; i < kNk; ++i) put(i, aes_tables::Pack(key[4 * i], key[4 * i + 1], key[4 * i + 2], key[4 * i + 3]));
  // `last` is always the word just written (EncKey[j - 1] of the reference formulas).
  Word last = w[kNk - 1];
  for (int j = kNk, k = 0; j < n; j += kNk, ++k) {
    last = w[j - kNk] ^ SubByte((last >> 8) | (last << 24)) ^ RoundConst[static_cast<std::size_t>(k)];
    put(j, last);
    if constexpr (kNk <= 6) {
      for (int i = 1; i < kNk && i + j < n; ++i) put(i + j, last = w[i + j - kNk] ^ last);
    } else {
      for (int i = 1; i < 4 && i + j < n; ++i) put(i + j, last = w[i + j - kNk] ^ last);
      if (j + 4 < n) put(j + 4, last = w[j + 4 - kNk] ^ SubByte(last));
      for (int i = 5; i < kNk && i + j < n; ++i) put(i + j, last = w[i + j - kNk] ^ last);
    }
  }
}

void AES::CheckedKey(std::int32_t nb, std::int32_t nk, std::span<const Byte> key) {
  try {
    Nb = nb;
    Nk = nk;
    Nr = Nb < Nk ? Int32(std::int64_t{Nk} + 6) : Int32(std::int64_t{Nb} + 6);
    const std::int64_t c1 = 1;
    const std::int64_t c2 = Nb < 8 ? 2 : 3;
    const std::int64_t c3 = Nb < 8 ? 3 : 4;
    for (std::int64_t j = 0; j < Nb; ++j) {
      At(FwdShift, 3 * j) = ToByte(Mod(j + c1, Nb));
      At(FwdShift, 3 * j + 1) = ToByte(Mod(j + c2, Nb));
      At(FwdShift, 3 * j + 2) = ToByte(Mod(j + c3, Nb));
      At(InvShift, 3 * j) = ToByte(Mod(Nb + j - c1, Nb));
      At(InvShift, 3 * j + 1) = ToByte(Mod(Nb + j - c2, Nb));
      At(InvShift, 3 * j + 2) = ToByte(Mod(Nb + j - c3, Nb));
    }
    const std::int64_t n = Int32(std::int64_t{Nb} * Int32(std::int64_t{Nr} + 1));

    for (std::int64_t i = 0; i < Nk; ++i) At(EncKey, i) = PackFrom(key, Int32(4 * i));

    auto chain = [this](std::int64_t at) {
      At(EncKey, at) = At(EncKey, at - Nk) ^ At(EncKey, at - 1);
    };
    std::int64_t j = Nk;
    std::int64_t k = 0;
    while (j < n) {
      At(EncKey, j) =
          At(EncKey, j - Nk) ^ SubByte(RotateLeft(At(EncKey, j - 1), 24)) ^ At(RoundConst, k);
      if (Nk <= 6) {
        for (std::int64_t i = 1; i < Nk && i + j < n; ++i) chain(i + j);
      } else {
        for (std::int64_t i = 1; i < 4 && i + j < n; ++i) chain(i + j);
        if (j + 4 < n) At(EncKey, j + 4) = At(EncKey, j + 4 - Nk) ^ SubByte(At(EncKey, j + 3));
        for (std::int64_t i = 5; i < Nk && i + j < n; ++i) chain(i + j);
      }
      j += Nk;
      k += 1;
    }

    // The decryption key in reverse round order (equivalent inverse cipher).
    for (std::int64_t c = 0; c < Nb; ++c) At(DecKey, n - Nb + c) = At(EncKey, c);
    for (std::int64_t i = Nb; i < n - Nb; i += Nb) {
      const std::int64_t base = n - Nb - i;
      for (std::int64_t c = 0; c < Nb; ++c) At(DecKey, base + c) = InvMixCol(At(EncKey, i + c));
    }
    for (std::int64_t c = n - Nb; c < n; ++c) At(DecKey, c - n + Nb) = At(EncKey, c);
  } catch (const Raise& raised) {
    Fail(u"gkey", raised.description);
  }
}

// ---- blocks ---------------------------------------------------------------------------

void AES::Cipher(std::span<Byte> buff, const std::array<Word, 120>& key,
                 const std::array<Word, 256>& table, const std::array<Byte, 256>& box,
                 const std::array<Byte, 24>& shift) {
  std::array<Word, 8> a{};
  std::array<Word, 8> b{};
  struct Clear {  // both working arrays end cleared, also when the routine fails
    std::array<Word, 8>& a;
    std::array<Word, 8>& b;
    ~Clear() {
      a.fill(0);
      b.fill(0);
    }
  } clear{a, b};
  std::array<Word, 8>* x = &a;
  std::array<Word, 8>* y = &b;

  for (std::int64_t i = 0; i < Nb; ++i) {
    const Word w = PackFrom(buff, Int32(4 * i)) ^ At(key, i);
    At(*x, i) = w;
  }
  std::int64_t k = Nb;
  for (std::int64_t round = 1; round < Nr; ++round) {
    for (std::int64_t j = 0, m = 0; j < Nb; ++j, m += 3) {
      const Word w = At(key, k) ^ table[At(*x, j) & 0xFF] ^
                     RotateLeft(table[RShift(At(*x, At(shift, m)), 8) & 0xFF], 8) ^
                     RotateLeft(table[RShift(At(*x, At(shift, m + 1)), 16) & 0xFF], 16) ^
                     RotateLeft(table[RShift(At(*x, At(shift, m + 2)), 24) & 0xFF], 24);
      At(*y, j) = w;
      ++k;
    }
    std::swap(x, y);
  }
  for (std::int64_t j = 0, m = 0; j < Nb; ++j, m += 3) {
    const Word w = At(key, k) ^ Word{box[At(*x, j) & 0xFF]} ^
                   RotateLeft(Word{box[RShift(At(*x, At(shift, m)), 8) & 0xFF]}, 8) ^
                   RotateLeft(Word{box[RShift(At(*x, At(shift, m + 1)), 16) & 0xFF]}, 16) ^
                   RotateLeft(Word{box[RShift(At(*x, At(shift, m + 2)), 24) & 0xFF]}, 24);
    At(*y, j) = w;
    ++k;
  }
  for (std::int64_t i = 0; i < Nb; ++i) UnpackFrom(At(*y, i), buff, Int32(4 * i));
}

// The fast way applies when the key state is one that gkey leaves for lengths of the
// cipher (Nb, Nk in {4, 6, 8}, Nr from them) and the buffer holds a whole block. Then every
// index of the reference steps is in range, nothing can fail, and FwdShift / InvShift hold
// exactly the row offsets for Nb (gkey writes all 3*Nb entries whenever it sets such an
// Nb), which CipherFor uses as constants.
bool AES::FastCipherFits(std::size_t size) const {
  const bool standard = IsStandardLength(Nb) && IsStandardLength(Nk);
  return standard && Nr == (Nb < Nk ? Nk : Nb) + 6 && size >= static_cast<std::size_t>(4 * Nb);
}

template <int kNb, bool kInverse>
void AES::CipherFor(Byte* buff) {
  const Word* key = kInverse ? DecKey.data() : EncKey.data();
  const Word* table = kInverse ? InvTable.data() : FwdTable.data();
  const Byte* box = kInverse ? InvSBox.data() : SBox.data();
  constexpr int kC2 = kNb < 8 ? 2 : 3;
  constexpr int kC3 = kNb < 8 ? 3 : 4;
  // Source column of row `c` for state column j: FwdShift / InvShift.
  constexpr auto source = [](int j, int c) { return kInverse ? (kNb + j - c) % kNb : (j + c) % kNb; };
  constexpr auto rotl = [](Word v, int n) { return static_cast<Word>((v << n) | (v >> (32 - n))); };

  Word a[kNb];
  Word b[kNb];
  Word* x = a;
  Word* y = b;
  for (int i = 0; i < kNb; ++i)
    x[i] = aes_tables::Pack(buff[4 * i], buff[4 * i + 1], buff[4 * i + 2], buff[4 * i + 3]) ^ key[i];
  const Word* round_key = key + kNb;
  for (int round = 1; round < Nr; ++round, round_key += kNb) {
    for (int j = 0; j < kNb; ++j) {
      y[j] = round_key[j] ^ table[x[j] & 0xFF] ^ rotl(table[(x[source(j, 1)] >> 8) & 0xFF], 8) ^
             rotl(table[(x[source(j, kC2)] >> 16) & 0xFF], 16) ^ rotl(table[x[source(j, kC3)] >> 24], 24);
    }
    std::swap(x, y);
  }
  for (int j = 0; j < kNb; ++j) {
    y[j] = round_key[j] ^ Word{box[x[j] & 0xFF]} ^ rotl(Word{box[(x[source(j, 1)] >> 8) & 0xFF]}, 8) ^
           rotl(Word{box[(x[source(j, kC2)] >> 16) & 0xFF]}, 16) ^ rotl(Word{box[x[source(j, kC3)] >> 24]}, 24);
  }
  for (int i = 0; i < kNb; ++i)
    for (int r = 0; r < 4; ++r) buff[4 * i + r] = static_cast<Byte>(y[i] >> (8 * r));
}

template <bool kInverse>
void AES::FastCipher(Byte* buff) {
  switch (Nb) {
    case 4: return CipherFor<4, kInverse>(buff);
    case 6: return CipherFor<6, kInverse>(buff);
    default: return CipherFor<8, kInverse>(buff);
  }
}

void AES::Encrypt(std::span<Byte> buff) {
  if (FastCipherFits(buff.size())) return FastCipher<false>(buff.data());
  try {
    Cipher(buff, EncKey, FwdTable, SBox, FwdShift);
  } catch (const Raise& raised) {
    Fail(u"Encrypt", raised.description);
  }
}

void AES::Decrypt(std::span<Byte> buff) {
  if (FastCipherFits(buff.size())) return FastCipher<true>(buff.data());
  try {
    Cipher(buff, DecKey, InvTable, InvSBox, InvShift);
  } catch (const Raise& raised) {
    Fail(u"Decrypt", raised.description);
  }
}

// ---- the envelope ----------------------------------------------------------------------

namespace {

constexpr std::size_t kBlock = 32;

// Bytes 0 .. 31 of the password, zero bytes after a shorter one.
std::array<std::uint8_t, kBlock> EnvelopeKey(const std::vector<std::uint8_t>& password) {
  std::array<std::uint8_t, kBlock> key{};
  std::copy_n(password.begin(), std::min(password.size(), kBlock), key.begin());
  return key;
}

}  // namespace

ByteArray AES::EncryptData(const ByteArray& bytMessage, const ByteArray& bytPassword) {
  if (!IsArrayDimensioned(bytMessage) || !IsArrayDimensioned(bytPassword)) return std::nullopt;
  try {
    const std::array<Byte, kBlock> key = EnvelopeKey(*bytPassword);
    gentables();
    gkey(8, 8, key);

    const std::int32_t length = Int32(static_cast<std::int64_t>(bytMessage->size()));
    std::int64_t total = std::int64_t{length} + 4;
    if (total % 32 != 0) total = total + 32 - total % 32;
    total = Int32(total);

    std::vector<Byte> in(static_cast<std::size_t>(total), 0);
    std::vector<Byte> out(static_cast<std::size_t>(total), 0);
    const auto unsigned_length = static_cast<std::uint32_t>(length);
    for (int i = 0; i < 4; ++i) in[static_cast<std::size_t>(i)] = static_cast<Byte>(unsigned_length >> (8 * i));
    // Copying the message starts at its element 0, which an empty message lacks.
    if (bytMessage->empty()) throw Raise{kSubscriptOutOfRange};
    std::copy(bytMessage->begin(), bytMessage->end(), in.begin() + 4);

    std::array<Byte, kBlock> block{};
    for (std::size_t offset = 0; offset < in.size(); offset += kBlock) {
      std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(offset), kBlock, block.begin());
      Encrypt(block);
      std::copy_n(block.begin(), kBlock, out.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return out;
  } catch (const Raise& raised) {
    Fail(u"EncryptData", raised.description);
    return std::nullopt;
  }
}

ByteArray AES::DecryptData(ByteArray bytIn, const ByteArray& bytPassword) {
  if (!IsArrayDimensioned(bytIn) || !IsArrayDimensioned(bytPassword)) return std::nullopt;
  try {
    const std::int64_t total = static_cast<std::int64_t>(bytIn->size());
    if (total % 32 != 0) return std::nullopt;
    const std::array<Byte, kBlock> key = EnvelopeKey(*bytPassword);
    gentables();
    gkey(8, 8, key);

    // The output buffer is the argument's own (taken by value): each 32-byte block is
    // deciphered where it lies.
    std::vector<Byte> out = std::move(*bytIn);
    for (std::size_t offset = 0; offset < out.size(); offset += kBlock)
      Decrypt(std::span<Byte>(out).subspan(offset, kBlock));
    // The length field; an empty envelope has no bytes 0..3 to read.
    if (out.size() < 4) throw Raise{kSubscriptOutOfRange};
    const std::uint32_t raw = static_cast<std::uint32_t>(out[0]) | (static_cast<std::uint32_t>(out[1]) << 8) |
                              (static_cast<std::uint32_t>(out[2]) << 16) |
                              (static_cast<std::uint32_t>(out[3]) << 24);
    const auto length = static_cast<std::int32_t>(raw);
    if (std::int64_t{length} > total - 4) return std::nullopt;
    // Building the payload of `length` bytes (indexes 0 .. length-1) fails for 0 or less.
    if (length <= 0) throw Raise{kSubscriptOutOfRange};
    out.erase(out.begin(), out.begin() + 4);
    out.resize(static_cast<std::size_t>(length));
    return out;
  } catch (const Raise& raised) {
    Fail(u"DecryptData", raised.description);
    return std::nullopt;
  }
}

}  // namespace zc
