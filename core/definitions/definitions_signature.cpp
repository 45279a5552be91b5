#include "core/definitions/definitions_signature.h"

#include "core/definitions/signature_form.h"
#include "core/definitions/signature_text.h"

namespace zc {
namespace {

constexpr char16_t kSignatureSuffix[] = u".sig";
constexpr int kHttpOk = 200;

DefinitionsResult Refused(DefinitionsError error, Text detail, size_t count = 0) {
  DefinitionsResult result;
  result.error = error;
  result.detail = std::move(detail);
  result.count = count;
  return result;
}

}  // namespace

Text SignatureAddress(TextView setAddress) { return Text(setAddress) + kSignatureSuffix; }

DefinitionsResult CheckDefinitionsSignature(HttpApi& http, TextView setAddress, std::string_view setBytes,
                                            const DefinitionsSigner& signer, const ConstantTexts& texts) {
  Text problem;
  const Text keyText = texts.Get(signer.StoredKey());
  const std::optional<P256PublicKey> key = ReadPublicKeyText(keyText, problem);
  if (!key) return Refused(DefinitionsError::SignatureKeyUnusable, u"the program's key is malformed: " + problem);

  const Text address = SignatureAddress(setAddress);
  const HttpResponse response = http.Get(address);
  if (!response.sent) return Refused(DefinitionsError::SignatureNotFetched, address + u": " + response.error);
  if (response.status != kHttpOk) {
    return Refused(DefinitionsError::SignatureMissing, address,
                   static_cast<size_t>(response.status < 0 ? 0 : response.status));
  }
  const std::optional<P256Signature> signature = ReadSignatureText(response.bytes, problem);
  if (!signature) return Refused(DefinitionsError::SignatureMalformed, address + u": " + problem);
  if (!HasLowS(*signature)) {
    return Refused(DefinitionsError::SignatureMalformed, address + u": its s is not in the low form");
  }

  const SignatureCheck check = signer.Verifier().VerifyP256(*key, setBytes, *signature);
  switch (check.verdict) {
    case SignatureVerdict::Valid:
      return {};
    case SignatureVerdict::Invalid:
      return Refused(DefinitionsError::SignatureWrong, address);
    case SignatureVerdict::KeyRejected:
      break;
  }
  return Refused(DefinitionsError::SignatureKeyUnusable, u"the platform refused the program's key: " + check.detail);
}

}  // namespace zc
