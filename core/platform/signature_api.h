#pragma once
// The platform's signature check: ECDSA on the curve P-256 over the SHA-256 digest of a
// message. Keys and signatures are given in their raw big-endian forms.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/base/text.h"

namespace zc {

inline constexpr size_t kP256ValueBytes = 64;
using P256PublicKey = std::array<uint8_t, kP256ValueBytes>;  // the point's X then Y, 32 bytes each
using P256Signature = std::array<uint8_t, kP256ValueBytes>;  // r then s, 32 bytes each

enum class SignatureVerdict {
  Valid,        // the key's owner signed exactly these bytes
  Invalid,      // not a signature of these bytes under this key
  KeyRejected,  // the key is not a point of the curve, or the check itself could not run
};

struct SignatureCheck {
  SignatureVerdict verdict = SignatureVerdict::Invalid;
  Text detail;  // what the platform said, for error reports; may be empty when Valid
};

class SignatureApi {
 public:
  virtual ~SignatureApi() = default;

  virtual SignatureCheck VerifyP256(const P256PublicKey& key, std::string_view message,
                                    const P256Signature& signature) = 0;
};

}  // namespace zc
