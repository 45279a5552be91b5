#pragma once
// A signature check that knows the signatures it was told about: a signature is valid
// exactly when it was registered with Sign for that key and those message bytes. It
// records every message it is asked about, and a key listed in `rejectedKeys` is refused
// as the platform refuses a point off the curve.

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/platform/signature_api.h"

namespace zc::fakes {

class FakeSignatures : public SignatureApi {
 public:
  std::vector<std::string> checkedMessages;
  std::set<P256PublicKey> rejectedKeys;

  // Makes a signature (any 64 bytes distinct per message) valid for `message` under `key`.
  P256Signature Sign(const P256PublicKey& key, std::string_view message) {
    P256Signature signature{};
    signature[0] = static_cast<uint8_t>(valid_.size() + 1);
    signature[63] = static_cast<uint8_t>(message.size());
    valid_.emplace(key, std::string(message), signature);
    return signature;
  }

  SignatureCheck VerifyP256(const P256PublicKey& key, std::string_view message,
                            const P256Signature& signature) override {
    checkedMessages.emplace_back(message);
    if (rejectedKeys.count(key)) return {SignatureVerdict::KeyRejected, u"not a point of the curve"};
    if (valid_.count({key, std::string(message), signature})) return {SignatureVerdict::Valid, {}};
    return {SignatureVerdict::Invalid, {}};
  }

 private:
  std::set<std::tuple<P256PublicKey, std::string, P256Signature>> valid_;
};

}  // namespace zc::fakes
