#pragma once
// Who signs the definitions sets the program accepts: the publisher's public key, held
// like every text constant in its enciphered stored form (128 hexadecimal digits once
// deciphered), and the platform's signature check. A signer made without a key accepts
// unsigned sets: no signature is fetched or checked.

#include "core/base/text.h"
#include "core/platform/signature_api.h"

namespace zc {

class DefinitionsSigner {
 public:
  DefinitionsSigner() = default;
  DefinitionsSigner(TextView storedKey, SignatureApi& verifier) : storedKey_(storedKey), verifier_(&verifier) {}

  bool SignsSets() const { return verifier_ != nullptr && !storedKey_.empty(); }
  TextView StoredKey() const { return storedKey_; }
  // Only when SignsSets().
  SignatureApi& Verifier() const { return *verifier_; }

 private:
  TextView storedKey_;
  SignatureApi* verifier_ = nullptr;
};

}  // namespace zc
