#include "tools/zdefs/signing/openssl_signatures.h"

#include <openssl/core_names.h>
#include <openssl/err.h>

#include <vector>

#include "tools/zdefs/signing/openssl_owners.h"

namespace zc::zdefs {
namespace {

constexpr size_t kCoordinateBytes = kP256ValueBytes / 2;

Text Reason(const char* what) {
  const std::string reason = LastOpenSslError();
  return FromAscii(reason.empty() ? std::string(what) : std::string(what) + " (" + reason + ")");
}

// The public key from its point; OpenSSL refuses a point that is not on the curve.
UniquePkey KeyOf(const P256PublicKey& point) {
  std::vector<unsigned char> encoded{0x04};  // an uncompressed point: 04, X, Y
  encoded.insert(encoded.end(), point.begin(), point.end());
  UniqueParamBuilder builder(OSSL_PARAM_BLD_new());
  if (!builder ||
      !OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, "prime256v1", 0) ||
      !OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, encoded.data(), encoded.size()))
    return nullptr;
  UniqueParams params(OSSL_PARAM_BLD_to_param(builder.get()));
  UniquePkeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* key = nullptr;
  if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
      EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params.get()) != 1)
    return nullptr;
  return UniquePkey(key);
}

// The DER sequence OpenSSL verifies, from the raw r and s.
std::vector<unsigned char> DerOf(const P256Signature& signature) {
  UniqueEcdsaSignature pair(ECDSA_SIG_new());
  UniqueBignum r(BN_bin2bn(signature.data(), kCoordinateBytes, nullptr));
  UniqueBignum s(BN_bin2bn(signature.data() + kCoordinateBytes, kCoordinateBytes, nullptr));
  if (!pair || !r || !s || ECDSA_SIG_set0(pair.get(), r.get(), s.get()) != 1) return {};
  r.release();  // the pair owns them now
  s.release();
  const int length = i2d_ECDSA_SIG(pair.get(), nullptr);
  if (length <= 0) return {};
  std::vector<unsigned char> der(static_cast<size_t>(length));
  unsigned char* cursor = der.data();
  i2d_ECDSA_SIG(pair.get(), &cursor);
  return der;
}

}  // namespace

SignatureCheck OpenSslSignatures::VerifyP256(const P256PublicKey& point, std::string_view message,
                                             const P256Signature& signature) {
  const UniquePkey key = KeyOf(point);
  if (!key) return {SignatureVerdict::KeyRejected, Reason("the key is not a point of the curve P-256")};
  const std::vector<unsigned char> der = DerOf(signature);
  UniqueDigestContext context(EVP_MD_CTX_new());
  if (der.empty() || !context ||
      EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1)
    return {SignatureVerdict::KeyRejected, Reason("OpenSSL cannot start the check")};
  const int verdict = EVP_DigestVerify(context.get(), der.data(), der.size(),
                                       reinterpret_cast<const unsigned char*>(message.data()), message.size());
  if (verdict == 1) return {SignatureVerdict::Valid, {}};
  // 0: a wrong signature; below 0: one OpenSSL cannot even read (r or s out of range).
  return {SignatureVerdict::Invalid, Reason("the signature does not verify")};
}

}  // namespace zc::zdefs
