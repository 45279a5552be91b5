#include "tools/zdefs/signing/p256_keys.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/pem.h>

#include <vector>

#include "tools/zdefs/signing/openssl_owners.h"

namespace zc::zdefs {

std::string LastOpenSslError() {
  unsigned long code = 0;
  unsigned long newest = 0;
  while ((code = ERR_get_error()) != 0) newest = code;
  if (newest == 0) return {};
  char text[256];
  ERR_error_string_n(newest, text, sizeof text);
  return text;
}

namespace {

constexpr size_t kCoordinateBytes = kP256ValueBytes / 2;

std::string Failed(const char* what) {
  const std::string reason = LastOpenSslError();
  return reason.empty() ? std::string(what) : std::string(what) + " (" + reason + ")";
}

UniqueBio MemoryOf(std::string_view bytes) {
  return UniqueBio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

std::string Drained(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

bool IsP256(EVP_PKEY* key) {
  if (!EVP_PKEY_is_a(key, "EC")) return false;
  char group[64] = {};
  size_t length = 0;
  if (!EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, &length)) return false;
  return std::string_view(group, length) == "prime256v1";
}

// Writes `number` into 32 big-endian bytes at `out`.
bool Coordinate(const BIGNUM* number, uint8_t* out) {
  return number != nullptr && BN_bn2binpad(number, out, static_cast<int>(kCoordinateBytes)) == kCoordinateBytes;
}

}  // namespace

std::optional<PemKeyPair> GenerateP256KeyPair(std::string& error) {
  UniquePkey key(EVP_EC_gen("P-256"));
  if (!key) {
    error = Failed("cannot generate a P-256 key");
    return std::nullopt;
  }
  UniqueBio privateOut(BIO_new(BIO_s_mem()));
  UniqueBio publicOut(BIO_new(BIO_s_mem()));
  if (!privateOut || !publicOut ||
      !PEM_write_bio_PrivateKey(privateOut.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) ||
      !PEM_write_bio_PUBKEY(publicOut.get(), key.get())) {
    error = Failed("cannot write the key pair as PEM");
    return std::nullopt;
  }
  return PemKeyPair{Drained(privateOut.get()), Drained(publicOut.get())};
}

std::optional<P256PublicKey> ReadP256PublicKey(std::string_view pem, std::string& error) {
  UniqueBio in = MemoryOf(pem);
  UniquePkey key(in ? PEM_read_bio_PUBKEY(in.get(), nullptr, nullptr, nullptr) : nullptr);
  if (!key) {  // the public half of a private key will do as well
    ERR_clear_error();
    in = MemoryOf(pem);
    key.reset(in ? PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
  }
  if (!key) {
    LastOpenSslError();
    error = "not a PEM public key";
    return std::nullopt;
  }
  if (!IsP256(key.get())) {
    error = "not an ECDSA P-256 key";
    return std::nullopt;
  }
  BIGNUM* x = nullptr;
  BIGNUM* y = nullptr;
  EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_EC_PUB_X, &x);
  EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_EC_PUB_Y, &y);
  const UniqueBignum ownedX(x), ownedY(y);
  P256PublicKey point{};
  if (!Coordinate(x, point.data()) || !Coordinate(y, point.data() + kCoordinateBytes)) {
    error = Failed("cannot read the key's point");
    return std::nullopt;
  }
  return point;
}

std::optional<P256Signature> SignP256(std::string_view privatePem, std::string_view message, std::string& error) {
  UniqueBio in = MemoryOf(privatePem);
  UniquePkey key(in ? PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
  if (!key) {
    LastOpenSslError();
    error = "not a PEM private key";
    return std::nullopt;
  }
  if (!IsP256(key.get())) {
    error = "not an ECDSA P-256 key";
    return std::nullopt;
  }
  UniqueDigestContext context(EVP_MD_CTX_new());
  size_t length = 0;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), nullptr, &length,
                     reinterpret_cast<const unsigned char*>(message.data()), message.size()) != 1) {
    error = Failed("cannot sign");
    return std::nullopt;
  }
  std::vector<unsigned char> der(length);
  if (EVP_DigestSign(context.get(), der.data(), &length, reinterpret_cast<const unsigned char*>(message.data()),
                     message.size()) != 1) {
    error = Failed("cannot sign");
    return std::nullopt;
  }
  // OpenSSL gives the DER sequence of r and s; the program takes them raw.
  const unsigned char* cursor = der.data();
  UniqueEcdsaSignature pair(d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(length)));
  const BIGNUM* r = nullptr;
  const BIGNUM* s = nullptr;
  if (pair) ECDSA_SIG_get0(pair.get(), &r, &s);
  P256Signature signature{};
  if (!Coordinate(r, signature.data()) || !Coordinate(s, signature.data() + kCoordinateBytes)) {
    error = Failed("cannot read the signature OpenSSL made");
    return std::nullopt;
  }
  return signature;
}

}  // namespace zc::zdefs
