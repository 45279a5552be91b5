#pragma once
// ECDSA P-256 keys and signatures for the maker's tool, through OpenSSL: key pairs in PEM
// files (the private key as PKCS #8, the public one as SubjectPublicKeyInfo) and
// signatures of SHA-256 digests in the raw r-then-s form the program checks.

#include <optional>
#include <string>
#include <string_view>

#include "core/platform/signature_api.h"

namespace zc::zdefs {

struct PemKeyPair {
  std::string privatePem;
  std::string publicPem;
};

// A fresh key pair; nothing and the reason in `error` when OpenSSL fails.
std::optional<PemKeyPair> GenerateP256KeyPair(std::string& error);

// The point of a PEM public key (or of the public half of a PEM private key) as X then Y.
// Refuses anything that is not a P-256 key.
std::optional<P256PublicKey> ReadP256PublicKey(std::string_view pem, std::string& error);

// Signs SHA-256(message) with a PEM private key. Refuses anything that is not a P-256
// private key.
std::optional<P256Signature> SignP256(std::string_view privatePem, std::string_view message, std::string& error);

}  // namespace zc::zdefs
