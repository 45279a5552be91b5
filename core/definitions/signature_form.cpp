#include "core/definitions/signature_form.h"

#include <array>
#include <cstdint>

namespace zc {
namespace {

constexpr size_t kScalarBytes = 32;
using Scalar = std::array<uint8_t, kScalarBytes>;

// The order n of the group of P-256, and n / 2 rounded down, big-endian.
constexpr Scalar kOrder = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17,
                           0x9E, 0x84, 0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};
constexpr Scalar kHalfOrder = {0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x7F, 0xFF, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xDE, 0x73, 0x7D, 0x56, 0xD3, 0x8B,
                               0xCF, 0x42, 0x79, 0xDC, 0xE5, 0x61, 0x7E, 0x31, 0x92, 0xA8};

Scalar SOf(const P256Signature& signature) {
  Scalar s{};
  for (size_t i = 0; i < kScalarBytes; ++i) s[i] = signature[kScalarBytes + i];
  return s;
}

}  // namespace

bool HasLowS(const P256Signature& signature) { return SOf(signature) <= kHalfOrder; }

P256Signature WithLowS(const P256Signature& signature) {
  if (HasLowS(signature)) return signature;
  const Scalar s = SOf(signature);
  P256Signature low = signature;
  int borrow = 0;
  for (size_t i = kScalarBytes; i-- > 0;) {
    int digit = static_cast<int>(kOrder[i]) - static_cast<int>(s[i]) - borrow;
    borrow = digit < 0 ? 1 : 0;
    if (digit < 0) digit += 256;
    low[kScalarBytes + i] = static_cast<uint8_t>(digit);
  }
  return low;
}

}  // namespace zc
