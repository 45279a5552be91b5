// Windows' own CNG check of ECDSA P-256 signatures, against keys and signatures that
// zdefs made with OpenSSL at build time: it must accept exactly what the maker signed.

#include "win32/signing/cng_signatures.h"

#include <gtest/gtest.h>

#include <string>

#include "core/definitions/signature_text.h"
#include "signing_fixture.h"

namespace zc::win {
namespace {

std::string Bytes(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return bytes;
}

P256Signature Sixty4(std::string_view hex) {
  Text problem;
  const std::optional<P256Signature> value = ReadPublicKeyText(FromAscii(hex), problem);
  EXPECT_TRUE(value.has_value()) << ToUtf8(problem);
  return value.value_or(P256Signature{});
}

TEST(CngSignatures, AcceptExactlyTheMakersSignatureOfTheExactBytes) {
  const std::string message = Bytes(fixture::kMessageHex);
  ASSERT_GT(message.size(), 10u);
  const P256PublicKey keyA = Sixty4(fixture::kKeyA);
  const P256PublicKey keyB = Sixty4(fixture::kKeyB);
  const P256Signature sigA = Sixty4(fixture::kSignatureA);
  auto flipped = [](auto value, size_t at) {
    value[at] ^= 0x01;
    return value;
  };
  P256Signature swapped{};
  std::copy(sigA.begin() + 32, sigA.end(), swapped.begin());
  std::copy(sigA.begin(), sigA.begin() + 32, swapped.begin() + 32);
  P256Signature ones{};
  ones.fill(0xFF);

  struct Case {
    const char* what;
    P256PublicKey key;
    std::string message;
    P256Signature signature;
    SignatureVerdict verdict;
  };
  const Case cases[] = {
      {"the maker's signature", keyA, message, sigA, SignatureVerdict::Valid},
      {"key B's own signature", keyB, message, Sixty4(fixture::kSignatureB), SignatureVerdict::Valid},
      {"a signature of no bytes", keyA, "", Sixty4(fixture::kSignatureEmpty), SignatureVerdict::Valid},
      {"a flipped byte in the message", keyA, flipped(message, 3), sigA, SignatureVerdict::Invalid},
      {"a byte more in the message", keyA, message + "\n", sigA, SignatureVerdict::Invalid},
      {"the last byte missing", keyA, message.substr(0, message.size() - 1), sigA, SignatureVerdict::Invalid},
      {"a flipped byte in r", keyA, message, flipped(sigA, 5), SignatureVerdict::Invalid},
      {"a flipped byte in s", keyA, message, flipped(sigA, 60), SignatureVerdict::Invalid},
      {"r and s swapped", keyA, message, swapped, SignatureVerdict::Invalid},
      {"another key", keyB, message, sigA, SignatureVerdict::Invalid},
      {"the signature of other bytes", keyA, message, Sixty4(fixture::kSignatureEmpty), SignatureVerdict::Invalid},
      {"r and s zero", keyA, message, P256Signature{}, SignatureVerdict::Invalid},
      {"r and s above the group order", keyA, message, ones, SignatureVerdict::Invalid},
  };
  CngSignatures cng;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SignatureCheck check = cng.VerifyP256(c.key, c.message, c.signature);
    EXPECT_EQ(check.verdict, c.verdict) << ToUtf8(check.detail);
  }
}

TEST(CngSignatures, APointOffTheCurveNeverVerifies) {
  P256PublicKey offCurve{};
  offCurve[31] = 1;  // X = 1, Y = 1
  offCurve[63] = 1;
  CngSignatures cng;
  const SignatureCheck check =
      cng.VerifyP256(offCurve, Bytes(fixture::kMessageHex), Sixty4(fixture::kSignatureA));
  EXPECT_NE(check.verdict, SignatureVerdict::Valid);
  EXPECT_FALSE(check.detail.empty());
}

}  // namespace
}  // namespace zc::win
