// Loading a signed definitions set: the signature is fetched from the set's address +
// ".sig" and checked on the bytes exactly as received, before anything of the set is
// deciphered; every fault of the signature refuses the whole set.

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/crypto/text_cipher.h"
#include "core/definitions/definitions_signature.h"
#include "core/definitions/load_definitions.h"
#include "core/definitions/signature_text.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_http.h"
#include "tests/fakes/fake_signatures.h"
#include "tests/unit/definitions/wire_text.h"

namespace zc {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing_util::PlainDefinitions;
using testing_util::WireText;

P256PublicKey KeyNumbered(uint8_t n) {
  P256PublicKey key{};
  key.fill(n);
  return key;
}

// A server, a signature check and the program's key.
struct SignedWorld {
  SignedWorld()
      : address_(texts_.Get(enc::DefinitionsAddress)),
        storedKey_(EncryptText(FromAscii(WriteP256Hex(KeyNumbered(7))), kTextKey, reporter_)) {}

  // Serves `wire` with a signature of `signedBytes` under `key`.
  void Serve(const std::string& wire, const std::string& signedBytes, const P256PublicKey& key) {
    http_.rawBodies[address_] = wire;
    http_.rawBodies[address_ + u".sig"] = WriteP256Hex(signatures_.Sign(key, signedBytes)) + "\n";
  }

  DefinitionsResult Load() { return LoadDefinitions(http_, texts_, set_, DefinitionsSigner(storedKey_, signatures_)); }

  fakes::FakeFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  const Text address_;
  Text storedKey_;
  fakes::FakeHttp http_;
  fakes::FakeSignatures signatures_;
  DefinitionsSet set_;
  const std::string wire_ = ToUtf8(WireText(PlainDefinitions{}));
};

class SignedDefinitionsTest : public ::testing::Test, protected SignedWorld {};

TEST_F(SignedDefinitionsTest, ASetSignedByThePublisherIsParsed) {
  Serve(wire_, wire_, KeyNumbered(7));
  const DefinitionsResult result = Load();
  ASSERT_TRUE(result.ok()) << ToUtf8(DescribeDefinitionsResult(result));
  EXPECT_THAT(http_.requests, ElementsAre(address_, address_ + u".sig"));
  EXPECT_THAT(signatures_.checkedMessages, ElementsAre(wire_));
  EXPECT_THAT(set_.ServiceNameList, ElementsAre(u"ZcTestSvc"));
}

TEST_F(SignedDefinitionsTest, TheSignatureCoversTheBytesAsReceivedNotTheConvertedText) {
  // Bytes that are no valid UTF-8 (a code-page text, say) reach the check unchanged.
  const std::string wire = "\xC1\xBB\xBA\xF1" + wire_;
  Serve(wire, wire, KeyNumbered(7));
  EXPECT_TRUE(Load().ok());
  EXPECT_THAT(signatures_.checkedMessages, ElementsAre(wire));
}

TEST_F(SignedDefinitionsTest, EveryFaultOfTheSignatureRefusesTheWholeSet) {
  PlainDefinitions other;
  other.serviceNames = "Spooler";
  const std::string otherWire = ToUtf8(WireText(other));
  std::string tampered = wire_;
  tampered[0] = 'X';  // element 0 is never read: only the signature notices

  struct Case {
    const char* what;
    std::function<void(SignedWorld&)> serve;
    DefinitionsError error;
    const char* detail;
  };
  const Case cases[] = {
      {"a tampered set with its old signature",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         t.http_.rawBodies[t.address_] = tampered;
       },
       DefinitionsError::SignatureWrong, "does not match the definitions set"},
      {"the signature of another set",
       [&](SignedWorld& t) {
         t.Serve(otherWire, otherWire, KeyNumbered(7));
         t.http_.rawBodies[t.address_] = t.wire_;
       },
       DefinitionsError::SignatureWrong, "definitions.txt.sig is not the publisher's signature"},
      {"signed with another key",
       [&](SignedWorld& t) { t.Serve(t.wire_, t.wire_, KeyNumbered(8)); },
       DefinitionsError::SignatureWrong, "does not match"},
      {"a flipped byte in the signature",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         std::string& sig = t.http_.rawBodies[t.address_ + u".sig"];
         sig[5] = sig[5] == '0' ? '1' : '0';
       },
       DefinitionsError::SignatureWrong, "does not match"},
      {"a truncated signature",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         t.http_.rawBodies[t.address_ + u".sig"].resize(100);
       },
       DefinitionsError::SignatureMalformed, "definitions.txt.sig: it holds 100 characters"},
      {"no signature on the server (404 page)",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         t.http_.rawBodies[t.address_ + u".sig"] = "<html>404</html>";
         t.http_.statuses[t.address_ + u".sig"] = 404;
       },
       DefinitionsError::SignatureMissing, "definitions.txt.sig answered with status 404"},
      {"the signature's request not sent",
       [&](SignedWorld& t) { t.http_.rawBodies[t.address_] = t.wire_; },
       DefinitionsError::SignatureNotFetched, "could not be fetched: http://"},
      {"the platform refuses the program's key",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         t.signatures_.rejectedKeys.insert(KeyNumbered(7));
       },
       DefinitionsError::SignatureKeyUnusable, "refused the program's key: not a point of the curve"},
      {"the program's key is no key",
       [&](SignedWorld& t) {
         t.Serve(t.wire_, t.wire_, KeyNumbered(7));
         t.storedKey_ = EncryptText(u"C0FFEE", kTextKey, t.reporter_);
       },
       DefinitionsError::SignatureKeyUnusable, "the program's key is malformed: it holds 6 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SignedWorld t;
    c.serve(t);
    const DefinitionsResult result = t.Load();
    EXPECT_EQ(result.error, c.error);
    const std::string described = ToUtf8(DescribeDefinitionsResult(result));
    EXPECT_THAT(described, HasSubstr("signature"));
    EXPECT_THAT(described, HasSubstr(c.detail));
    // Nothing of the set was split, deciphered or kept.
    EXPECT_THAT(t.set_.DefinitionsElements, IsEmpty());
    EXPECT_THAT(t.set_.ServiceNameList, IsEmpty());
    EXPECT_TRUE(t.set_.HomepageUrl.empty());
  }
}

TEST_F(SignedDefinitionsTest, WithoutAKeyNoSignatureIsFetched) {
  http_.rawBodies[address_] = wire_;
  ASSERT_TRUE(LoadDefinitions(http_, texts_, set_, DefinitionsSigner::Unsigned()).ok());
  ASSERT_TRUE(LoadDefinitions(http_, texts_, set_, DefinitionsSigner(u"", signatures_)).ok());
  EXPECT_THAT(http_.requests, ElementsAre(address_, address_));
  EXPECT_THAT(signatures_.checkedMessages, IsEmpty());
}

TEST_F(SignedDefinitionsTest, ASetThatCannotBeFetchedIsANetworkFaultBeforeAnySignature) {
  const DefinitionsResult result = Load();
  EXPECT_EQ(result.error, DefinitionsError::RequestNotSent);
  EXPECT_THAT(http_.requests, ElementsAre(address_));
}

}  // namespace
}  // namespace zc
