// The whole program's start-up with a signed definitions set: the publisher's signature
// lets it run through to monitoring; a set it did not sign ends start-up with the
// bad-definitions report, whose detail names the signature, and nothing of it is used.

#include <gtest/gtest.h>

#include <string>

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
  static std::string Wire(std::string_view freshness) {
    testing_util::PlainDefinitions plain;
    plain.freshness = freshness;
    return ToUtf8(testing_util::WireText(plain));
  }
  // Serial 7, expiring 2100-01-01.
  const std::string wire = Wire("7|4102444800");
  void Serve(const std::string& set) {
    http.rawBodies[address] = set;
    http.rawBodies[address + u".sig"] = WriteP256Hex(signatures.Sign(key, set));
  }
  std::optional<Text> StoredSerial() { return settings.GetSetting(kOptionApplication, kOptionSection, u"serial"); }
};

TEST(SignedStart, ThePublishersSignatureLetsStartUpRunThrough) {
  SignedProgram p;
  p.Serve(p.wire);
  p.program.form().Form_Load();
  EXPECT_FALSE(p.view.ended);
  EXPECT_TRUE(p.view.messages.empty());
  EXPECT_TRUE(p.timers.Running(TimerId::TmrChk));
  EXPECT_EQ(p.program.definitions().OutputTunnelTable[0], u":48123");
  EXPECT_EQ(p.StoredSerial(), Text(u"7"));
}

// Validly signed sets that are older than one this machine started with, past their
// expiry, or without a serial at all, end start-up with the bad-definitions report that
// names why; the stored serial stays.
TEST(SignedStart, AnOlderAnExpiredOrAnUndatedSetEndsStartUp) {
  struct Case {
    const char* what;
    std::string_view freshness;
    const char* reason;
  };
  const Case cases[] = {
      {"older", "6|4102444800", "serial number 6 is below 7"},
      {"expired", "8|1700000000", "has expired"},
      {"undated", "", "no serial number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SignedProgram p;
    p.settings.SaveSetting(kOptionApplication, kOptionSection, u"serial", u"7");
    p.Serve(SignedProgram::Wire(c.freshness));
    p.program.form().Form_Load();
    EXPECT_TRUE(p.view.ended);
    ASSERT_EQ(p.view.messages.size(), 1u);
    const std::string text = ToUtf8(p.view.messages[0].text);
    EXPECT_EQ(text.rfind(ToUtf8(p.T(enc::StartupDefinitionsError)), 0), 0u);
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_FALSE(p.timers.Running(TimerId::TmrChk));
    EXPECT_EQ(p.StoredSerial(), Text(u"7"));
  }
}

TEST(SignedStart, TheSameOrANewerSetStartsAndOnlyANewerOneRaisesTheStoredSerial) {
  for (const auto& [freshness, stored] : {std::pair{"7|4102444800", u"7"}, std::pair{"12|4102444800", u"12"}}) {
    SignedProgram p;
    p.settings.SaveSetting(kOptionApplication, kOptionSection, u"serial", u"7");
    p.Serve(SignedProgram::Wire(freshness));
    p.program.form().Form_Load();
    EXPECT_FALSE(p.view.ended) << freshness;
    EXPECT_EQ(p.StoredSerial(), Text(stored)) << freshness;
  }
}

// The serial is kept only once start-up has run through with the set: a newer set that
// still ends start-up (a newer program published, a pattern list too long) leaves the
// stored serial where it was.
TEST(SignedStart, ANewerSetThatEndsStartUpLaterIsNotRemembered) {
  std::string tooLong = "|";
  for (int i = 1; i <= 101; ++i) tooLong += ":" + std::to_string(48000 + i) + "|";
  struct Case {
    const char* what;
    std::string_view version;
    std::string_view inputTunnel;
  };
  const Case cases[] = {{"a newer program is published", "99", "|:48121|"},
                        {"the pattern list is too long", "2", tooLong}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SignedProgram p;
    p.settings.SaveSetting(kOptionApplication, kOptionSection, u"serial", u"7");
    testing_util::PlainDefinitions plain;
    plain.freshness = "12|4102444800";
    plain.version = c.version;
    plain.inputTunnel = c.inputTunnel;
    p.Serve(ToUtf8(testing_util::WireText(plain)));
    p.program.form().Form_Load();
    EXPECT_TRUE(p.view.ended);
    EXPECT_FALSE(p.timers.Running(TimerId::TmrChk));
    EXPECT_EQ(p.StoredSerial(), Text(u"7"));
  }
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

// The definitions address of the machine policy: the set and its signature come from the
// mirror and nothing from the built-in address; the key stays the publisher's, so a set
// the mirror signed itself is refused.
TEST(SignedStart, APolicysMirrorServesTheSetButThePublishersKeyStillDecides) {
  const Text mirror = u"https://mirror.corp.example/zc/defs.txt";
  for (const bool publishersSignature : {true, false}) {
    SCOPED_TRACE(publishersSignature ? "signed by the publisher" : "signed by the mirror");
    SignedProgram p;
    ProgramPolicies policies;
    policies.definitionsAddress = mirror;
    Program mirrored(p.texts, p.Platform(), p.Window(), DefinitionsSigner(p.storedKey, p.signatures), policies);
    P256PublicKey mirrorsKey{};
    mirrorsKey[0] = 1;
    p.http.rawBodies[mirror] = p.wire;
    p.http.rawBodies[mirror + u".sig"] =
        WriteP256Hex(p.signatures.Sign(publishersSignature ? p.key : mirrorsKey, p.wire));
    mirrored.form().Form_Load();

    EXPECT_EQ(p.http.requests, (std::vector<Text>{mirror, mirror + u".sig"}));
    EXPECT_EQ(p.view.ended, !publishersSignature);
    EXPECT_EQ(p.timers.Running(TimerId::TmrChk), publishersSignature);
    EXPECT_EQ(mirrored.definitions().OutputTunnelTable[0], publishersSignature ? Text(u":48123") : Text());
  }
}

}  // namespace
}  // namespace zc
