#pragma once
// Who signs the definitions sets the program accepts: the publisher's public key, held
// like every text constant in its enciphered stored form (128 hexadecimal digits once
// deciphered), and the platform's signature check. There is no default: a build that
// takes unsigned sets says so where it makes its signer, with Unsigned().

#include "core/base/text.h"
#include "core/platform/signature_api.h"

namespace zc {

class DefinitionsSigner {
 public:
  DefinitionsSigner(TextView storedKey, SignatureApi& verifier) : storedKey_(storedKey), verifier_(&verifier) {}
  // Accepts sets without a signature: nothing is fetched or checked.
  static DefinitionsSigner Unsigned() { return DefinitionsSigner(); }

  bool SignsSets() const { return verifier_ != nullptr && !storedKey_.empty(); }
  TextView StoredKey() const { return storedKey_; }
  // Only when SignsSets().
  SignatureApi& Verifier() const { return *verifier_; }

 private:
  DefinitionsSigner() = default;
  TextView storedKey_;
  SignatureApi* verifier_ = nullptr;
};

}  // namespace zc
