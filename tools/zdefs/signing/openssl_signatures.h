#pragma once
// The signature check of the platform interface, done by OpenSSL: what `zdefs verify`
// and the host tests run, beside the program's own check through Windows' CNG.

#include "core/platform/signature_api.h"

namespace zc::zdefs {

class OpenSslSignatures final : public SignatureApi {
 public:
  SignatureCheck VerifyP256(const P256PublicKey& key, std::string_view message,
                            const P256Signature& signature) override;
};

}  // namespace zc::zdefs
