// The whole program behind its window, with the real definitions parse, checks, timers'
// handlers and treatment pass on in-memory platform parts: start-up from a served
// definitions text, a finding listed by a timer tick and treated by the button, the
// watched-window notice that runs the monitoring option's handling again.

#include "program_fakes.h"

#include <gtest/gtest.h>

#include "core/crypto/text_cipher.h"
#include "core/platform/event_ids.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;

class ProgramTest : public ::testing::Test, protected ProgramFakes {
 protected:
  // A wire text: "@@"-separated elements, the odd ones 1 to 13 enciphered.
  Text Wire(TextView version, size_t elements = 15) {
    const Text plain[] = {u"", u"|:48121|", u"", u"|:48123|", u"", Text(version), u"", u"http://zombie.example/",
                          u"", u"ZcEntry", u"", u"ZcService", u"", u":48129", u""};
    Text body;
    for (size_t i = 0; i < elements; ++i) {
      if (i) body += u"@@";
      body += (i % 2) ? EncryptText(plain[i], kTextKey, reporter) : Text(u"x");
    }
    return body;
  }
  void Serve(const Text& body) { http.bodies[T(enc::DefinitionsAddress)] = body; }

  Program program{texts, Platform(), Window(), DefinitionsSigner::Unsigned()};
};

TEST_F(ProgramTest, StartsFromServedDefinitionsListsAFindingAndTreatsIt) {
  Serve(Wire(u"2"));
  program.form().Form_Load();
  ASSERT_FALSE(program.form().Ended());
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.versionText, u"v" + T(enc::VersionText));
  EXPECT_EQ(program.definitions().HomepageUrl, u"http://zombie.example/");
  EXPECT_EQ(program.definitions().OutputTunnelTable[0], u":48123");

  registry.SetText(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry", u"C:\\zombie\\bad.exe");
  program.Tick(TimerId::Timer1);
  ASSERT_EQ(results.RowCount(), 1);
  EXPECT_EQ(results.GetCellText(0, kColumnKind), kKindRegistryInfection);
  program.Tick(TimerId::Timer1);
  EXPECT_EQ(results.RowCount(), 1);  // reported once
  ASSERT_EQ(events.events.size(), 1u);  // and one event for it, not one per tick
  EXPECT_EQ(events.events[0].first, events::kFindingReported);

  view.check2 = CheckState::Unchecked;
  program.form().Check2_Click();
  program.form().CandyButton1_Click();
  EXPECT_EQ(results.RowCount(), 0);
  EXPECT_EQ(view.treatedCountText, u"1건");
  EXPECT_FALSE(registry.Stored(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry"));
  EXPECT_TRUE(view.treatButtonEnabled);
  EXPECT_EQ(events.events.back().first, events::kTreatmentDone);
  EXPECT_FALSE(treatmentLock.held);

  // After the pass the reported entries are forgotten: the value, back again, is listed.
  registry.SetText(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry", u"C:\\zombie\\bad.exe");
  program.Tick(TimerId::Timer1);
  EXPECT_EQ(results.RowCount(), 1);
}

TEST_F(ProgramTest, TheButtonTreatsNothingWhileAnotherCopyTreats) {
  Serve(Wire(u"2"));
  program.form().Form_Load();
  registry.SetText(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry", u"C:\\zombie\\bad.exe");
  program.Tick(TimerId::Timer1);
  view.check2 = CheckState::Unchecked;
  program.form().Check2_Click();
  treatmentLock.heldElsewhere = true;
  program.form().CandyButton1_Click();
  EXPECT_EQ(results.RowCount(), 1);
  EXPECT_TRUE(registry.Stored(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry"));
  ASSERT_FALSE(view.messages.empty());
  EXPECT_EQ(view.messages.back().text, T(enc::AnotherCopyTreating));
  // Once the other copy is done, the button treats.
  treatmentLock.heldElsewhere = false;
  program.form().CandyButton1_Click();
  EXPECT_EQ(results.RowCount(), 0);
}

TEST_F(ProgramTest, StartUpEndsOnANewerVersionAShortTextOrNoServer) {
  struct Case {
    const char* name;
    std::optional<Text> body;
    TextView expected;
    const char* detail = "";
  };
  const Case cases[] = {
      {"newer version", Wire(u"3"), enc::NewVersionNotice1},
      {"element 13 missing", Wire(u"2", 13), enc::StartupDefinitionsError, "element 13 is missing"},
      {"no server", std::nullopt, enc::StartupNetworkError, "could not be sent: connection refused"},
      // The server answered: a text too long to read is the definitions' fault, not the network's.
      {"a body too long to read", Text(), enc::StartupDefinitionsError,
       "too long to be read: the answer is longer than 32 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeHttp h;
    fakes::FakeForm1View v;
    fakes::FakeTimers t;
    if (c.body && c.body->empty()) h.tooLong.insert(T(enc::DefinitionsAddress));
    if (c.body) h.bodies[T(enc::DefinitionsAddress)] = *c.body;
    Program p(texts, Platform(h), {v, pump, results, t}, DefinitionsSigner::Unsigned());
    p.form().Form_Load();
    EXPECT_TRUE(v.ended);
    ASSERT_FALSE(v.messages.empty());
    EXPECT_EQ(v.messages[0].text.rfind(T(c.expected), 0), 0u);
    EXPECT_NE(ToUtf8(v.messages[0].text).find(c.detail), std::string::npos) << ToUtf8(v.messages[0].text);
    EXPECT_FALSE(t.Running(TimerId::TmrChk));
  }
}

TEST_F(ProgramTest, AWatchedWindowShowsItsNoticeAndRunsTheMonitoringOptionAgain) {
  Serve(Wire(u"2"));
  program.form().Form_Load();
  windows.windows = {{1, u"x " + T(enc::WatchedWindowTitle1)}};
  view.statusText.clear();
  program.Tick(TimerId::TmrChk);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::WatchedWindowNotice1) + u"\r\n" + T(enc::WatchedWindowNotice2));
  EXPECT_EQ(view.statusText, T(enc::StatusMonitoringOn));
  EXPECT_TRUE(timers.Running(TimerId::TmrChk));
  EXPECT_TRUE(console.calls.empty());  // no connection scan while the window is open
}

}  // namespace
}  // namespace zc
