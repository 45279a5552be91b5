#pragma once
// The signature check through Windows' own CNG: the key imported as an ECDSA P-256 public
// key blob, the message hashed with SHA-256 by a CNG hash object (available from
// Windows 7 on), the raw r-then-s signature checked by BCryptVerifySignature.

#include "core/platform/signature_api.h"

namespace zc::win {

class CngSignatures final : public SignatureApi {
 public:
  SignatureCheck VerifyP256(const P256PublicKey& key, std::string_view message,
                            const P256Signature& signature) override;
};

}  // namespace zc::win
