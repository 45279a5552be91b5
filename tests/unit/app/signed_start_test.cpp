// The whole program's start-up with a signed definitions set: the publisher's signature
// lets it run through to monitoring; a set it did not sign ends start-up with the
// bad-definitions report, whose detail names the signature, and nothing of it is used.

#include <gtest/gtest.h>

#include "core/app/program.h"
#include "core/crypto/text_cipher.h"
#include "core/definitions/signature_text.h"
#include "fake_form1_view.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_http.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_settings.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_signatures.h"
#include "tests/fakes/fake_timers.h"
#include "tests/fakes/fake_window_enum.h"
#include "tests/unit/definitions/wire_text.h"

namespace zc {
namespace {

struct SignedProgram {
  Text T(TextView enciphered) const { return texts.Get(enciphered); }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeHttp http;
  fakes::FakeSignatures signatures;
  fakes::FakeRegistry registry;
  fakes::FakeProcesses processes;
  fakes::FakeConsole console;
  fakes::FakeShell shell;
  fakes::FakeFiles files;
  fakes::FakeWindowEnum windows;
  fakes::FakeSettings settings;
  fakes::FakeActivityLog log;
  fakes::FakeForm1View view;
  fakes::FakeEventPump pump;
  fakes::FakeResultList results;
  fakes::FakeTimers timers;
  P256PublicKey key{};
  Text storedKey = EncryptText(FromAscii(WriteP256Hex(key)), kTextKey, reporter);
  Program program{texts,
                  {http, registry, processes, console, shell, files, windows, settings, log},
                  {view, pump, results, timers},
                  DefinitionsSigner(storedKey, signatures)};
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
