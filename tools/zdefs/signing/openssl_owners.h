#pragma once
// Move-only owners of the OpenSSL objects zdefs' signing commands use, each freed by its
// own free function.

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>
#include <string>

namespace zc::zdefs {

template <typename T, void (*Free)(T*)>
struct OpenSslFree {
  void operator()(T* object) const noexcept { Free(object); }
};

using UniquePkey = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY, EVP_PKEY_free>>;
using UniquePkeyContext = std::unique_ptr<EVP_PKEY_CTX, OpenSslFree<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;
using UniqueDigestContext = std::unique_ptr<EVP_MD_CTX, OpenSslFree<EVP_MD_CTX, EVP_MD_CTX_free>>;
using UniqueBignum = std::unique_ptr<BIGNUM, OpenSslFree<BIGNUM, BN_free>>;
using UniqueEcdsaSignature = std::unique_ptr<ECDSA_SIG, OpenSslFree<ECDSA_SIG, ECDSA_SIG_free>>;
using UniqueParamBuilder = std::unique_ptr<OSSL_PARAM_BLD, OpenSslFree<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>>;
using UniqueParams = std::unique_ptr<OSSL_PARAM, OpenSslFree<OSSL_PARAM, OSSL_PARAM_free>>;

inline void FreeBio(BIO* bio) { BIO_free(bio); }
using UniqueBio = std::unique_ptr<BIO, OpenSslFree<BIO, FreeBio>>;

// The newest error of OpenSSL's queue in its own words ("" when the queue is empty); the
// queue is emptied.
std::string LastOpenSslError();

}  // namespace zc::zdefs
