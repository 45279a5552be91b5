#pragma once
// The one form of a P-256 signature the program accepts. For every ECDSA signature (r,
// s) the pair (r, n - s) is valid too, so anyone can turn a signature into a second one
// of the same set; only the form whose s lies in the lower half of the group order
// ("low s") is written and accepted, so a set has exactly one accepted signature.

#include "core/platform/signature_api.h"

namespace zc {

// True when s (the second 32 bytes, big-endian) is at most half the group order n.
bool HasLowS(const P256Signature& signature);

// The same signature in the low-s form: (r, n - s) when s is high, else unchanged.
P256Signature WithLowS(const P256Signature& signature);

}  // namespace zc
