// The whole program's start-up with a signed definitions set: the publisher's signature
// lets it run through to monitoring; a set it did not sign ends start-up with the
// bad-definitions report, whose detail names the signature, and nothing of it is used.

#include <gtest/gtest.h>

#include "program_fakes.h"
#include "core/crypto/text_cipher.h"
#include "core/definitions/signature_text.h"
#include "tests/fakes/fake_signatures.h"
#include "tests/unit/definitions/wire_text.h"

namespace zc {
namespace {

struct SignedProgram : ProgramFakes {
  fakes::FakeSignatures signatures;
  P256PublicKey key{};
  Text storedKey = EncryptText(FromAscii(WriteP256Hex(key)), kTextKey, reporter);
  Program program{texts, Platform(), Window(), DefinitionsSigner(storedKey, signatures)};
  const Text address = T(enc::DefinitionsAddress);
  const std::string wire = ToUtf8(testing_util::WireText(testing_util::PlainDefinitions{}));
};

TEST(SignedStart, ThePublishersSignatureLetsStartUpRunThrough) {
  SignedProgram p;
  p.http.rawBodies[p.address] = p.wire;
  p.http.rawBodies[p.address + u".sig"] = WriteP256Hex(p.signatures.Sign(p.key, p.wire));
  p.program.form().Form_Load();
  EXPECT_FALSE(p.view.ended);
  EXPECT_TRUE(p.view.messages.empty());
  EXPECT_TRUE(p.timers.Running(TimerId::TmrChk));
  EXPECT_EQ(p.program.definitions().OutputTunnelTable[0], u":48123");
}

TEST(SignedStart, ASetThePublisherDidNotSignEndsStartUpWithTheReport) {
  struct Case {
    const char* what;
    bool tampered;
    bool signatureServed;
  };
  const Case cases[] = {{"a tampered set with its old signature", true, true}, {"no signature", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SignedProgram p;
    std::string served = p.wire;
    if (c.tampered) served[0] = 'X';
    p.http.rawBodies[p.address] = served;
    if (c.signatureServed) p.http.rawBodies[p.address + u".sig"] = WriteP256Hex(p.signatures.Sign(p.key, p.wire));
    p.program.form().Form_Load();
    EXPECT_TRUE(p.view.ended);
    ASSERT_EQ(p.view.messages.size(), 1u);
    const std::string text = ToUtf8(p.view.messages[0].text);
    EXPECT_EQ(text.rfind(ToUtf8(p.T(enc::StartupDefinitionsError)), 0), 0u);
    EXPECT_NE(text.find("the definitions signature"), std::string::npos) << text;
    EXPECT_FALSE(p.timers.Running(TimerId::TmrChk));
    EXPECT_TRUE(p.program.definitions().DefinitionsElements.empty());
    EXPECT_TRUE(p.program.definitions().OutputTunnelTable[0].empty());
  }
}

}  // namespace
}  // namespace zc
