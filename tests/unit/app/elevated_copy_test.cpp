// The unelevated copy and the elevated one: what each writes where (the log-on option,
// the log-on value, the program's own error log), the start to treat that an unelevated
// copy hands over, one copy per session, and the call that brings the running copy
// forward.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/app/form1.h"
#include "core/app/own_error_log.h"
#include "core/app/start_kind.h"
#include "core/platform/event_ids.h"
#include "fake_form1_view.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_elevation.h"
#include "tests/fakes/fake_event_log.h"
#include "tests/fakes/fake_own_log_folder.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_settings.h"
#include "tests/fakes/fake_shell.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;

constexpr char16_t kOwnLogFolder[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\";
constexpr uint32_t kProgramErrorEvent = 0xC0000640;  // error, 1600

// Who runs: a standard user's own copy, the elevated copy an elevation prompt started
// (the full half of a split token, maybe another account's), an account without a
// split token that is elevated (the prompts switched off, the built-in Administrator).
enum class Runs { Unelevated, ElevatedCopy, ElevatedWithoutSplit };

void Become(fakes::FakeElevation& e, Runs runs) {
  e.elevated = runs == Runs::ElevatedWithoutSplit;
  e.elevatedCopy = runs == Runs::ElevatedCopy;
}

const char* Name(Runs runs) {
  switch (runs) {
    case Runs::Unelevated: return "unelevated";
    case Runs::ElevatedCopy: return "elevated copy";
    case Runs::ElevatedWithoutSplit: return "elevated without a split token";
  }
  return "?";
}

struct Window {
  explicit Window(const ConstantTexts& texts) : texts(texts) {}
  Form1& Make() {
    form.emplace(Form1Parts{texts, view, pump, results, settings, registry, shell, timers, definitions, checks,
                            activity, elevation});
    return *form;
  }
  std::optional<Text> StoredOption() const {
    auto it = settings.values.find({kOptionApplication, kOptionSection, kOptionKey});
    return it == settings.values.end() ? std::nullopt : std::optional<Text>(it->second);
  }
  size_t LogonValues() const {
    return registry.ValueCount(kHkeyCurrentUser, texts.Get(enc::LogonKeyPath));
  }

  const ConstantTexts& texts;
  fakes::FakeForm1View view;
  fakes::FakeEventPump pump;
  fakes::FakeResultList results;
  fakes::FakeSettings settings;
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  fakes::JournalingTimers timers;
  fakes::FakeDefinitionsPort definitions;
  fakes::FakeChecksPort checks;
  fakes::FakeActivityLog activity;
  fakes::FakeElevation elevation;
  std::optional<Form1> form;
};

class ElevatedCopyTest : public ::testing::Test {
 protected:
  Text T(TextView enciphered) const { return texts.Get(enciphered); }
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
};

// A stored "on" and a click on the box, by each who runs: only a copy whose account is
// the person's own writes the option and the log-on value. The elevated copy shows the
// stored option, writes nothing, puts a clicked box back and says where to change it.
TEST_F(ElevatedCopyTest, OnlyTheUsersOwnCopyWritesTheLogOnOptionAndValue) {
  struct Case {
    Runs runs;
    bool writes;
  };
  const Case cases[] = {{Runs::Unelevated, true}, {Runs::ElevatedWithoutSplit, true}, {Runs::ElevatedCopy, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.runs));
    Window w(texts);
    Become(w.elevation, c.runs);
    w.settings.values[{kOptionApplication, kOptionSection, kOptionKey}] = u"on";
    Form1& form = w.Make();
    form.Form_Load();
    EXPECT_EQ(w.view.check1, CheckState::Checked);  // shown either way
    EXPECT_EQ(w.LogonValues(), c.writes ? 1u : 0u);
    EXPECT_EQ(w.definitions.remembered, 1);  // the serial is raised by every copy

    w.view.check1 = CheckState::Unchecked;  // the user clicks the box off
    form.Check1_Click();
    EXPECT_EQ(w.StoredOption(), c.writes ? Text(u"off") : Text(u"on"));
    EXPECT_EQ(w.LogonValues(), 0u);
    EXPECT_EQ(w.view.check1, c.writes ? CheckState::Unchecked : CheckState::Checked);

    w.registry.SetText(kHkeyCurrentUser, T(enc::LogonKeyPath), T(enc::LogonValueName), u"C:\\old.exe");
    w.view.check1 = CheckState::Checked;  // and on again
    form.Check1_Click();
    EXPECT_EQ(w.StoredOption(), Text(u"on"));
    const auto value = w.registry.Stored(kHkeyCurrentUser, T(enc::LogonKeyPath), T(enc::LogonValueName));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(std::get<Text>(value->value) != u"C:\\old.exe", c.writes);
    EXPECT_EQ(w.view.check1, c.writes ? CheckState::Checked : CheckState::Unchecked);

    if (c.writes) {
      EXPECT_TRUE(w.view.messages.empty());
    } else {
      ASSERT_EQ(w.view.messages.size(), 2u);
      EXPECT_EQ(w.view.messages[0].text, T(enc::LogonOptionNotElevated));
    }
    EXPECT_FALSE(form.Ended());
  }
}

// A copy an unelevated one started to treat: once its start-up went through it says it is
// ready, switches monitoring off, runs its own checks once and treats what they found,
// without a click.
TEST_F(ElevatedCopyTest, AStartToTreatAnnouncesItselfThenFindsAndTreatsOnItsOwn) {
  Window w(texts);
  Become(w.elevation, Runs::ElevatedCopy);
  w.definitions.journal = &w.view.journal;
  w.checks.journal = &w.view.journal;
  w.checks.onRound = [&] {
    w.results.Append({u"bad.exe", u"12"});
    // Each check's tick starts its timer again when it is done, as the scheduler's do.
    for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::TmrChk}) w.timers.StartTimer(id);
  };
  Form1& form = w.Make();
  form.UseStart({StartKind::TreatNow, nullptr});
  size_t announcedAt = 0;
  w.checks.onTreat = [&] { announcedAt = static_cast<size_t>(w.elevation.announcements); };
  form.Form_Load();

  EXPECT_EQ(w.elevation.announcements, 1);
  EXPECT_EQ(announcedAt, 1u);  // before the pass
  EXPECT_EQ(w.checks.rounds, 1);
  EXPECT_EQ(w.checks.passes, 1);
  EXPECT_EQ(w.view.check2, CheckState::Unchecked);
  EXPECT_EQ(w.view.statusText, T(enc::StatusMonitoringOff));
  for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::TmrChk}) EXPECT_FALSE(w.timers.Running(id));
  EXPECT_TRUE(w.elevation.handOvers.empty());
  EXPECT_TRUE(w.view.questions.empty());
  // The checks run once after start-up, monitoring goes off after them, then the pass.
  const auto& j = w.view.journal;
  const auto at = [&](const char* entry) { return std::find(j.begin(), j.end(), entry) - j.begin(); };
  EXPECT_LT(at("tables"), at("checks"));
  EXPECT_LT(at("checks"), at("check2"));
  EXPECT_LT(at("check2"), at("treat"));
}

TEST_F(ElevatedCopyTest, AStartToTreatThatFindsNothingSaysSoAndOneThatFailsStartUpNeverAnnounces) {
  {
    Window w(texts);
    Become(w.elevation, Runs::ElevatedCopy);
    Form1& form = w.Make();
    form.UseStart({StartKind::TreatNow, nullptr});
    form.Form_Load();
    EXPECT_EQ(w.elevation.announcements, 1);
    EXPECT_EQ(w.checks.passes, 0);
    ASSERT_EQ(w.view.messages.size(), 1u);
    EXPECT_EQ(w.view.messages[0].text, T(enc::NothingToTreat));
    EXPECT_FALSE(form.Ended());
  }
  {
    Window w(texts);
    Become(w.elevation, Runs::ElevatedCopy);
    w.definitions.loadResult = {DefinitionsLoadFailure::Network, u"proxy"};
    Form1& form = w.Make();
    form.UseStart({StartKind::TreatNow, nullptr});
    form.Form_Load();
    EXPECT_TRUE(form.Ended());
    EXPECT_EQ(w.elevation.announcements, 0);  // the waiting copy sees it end and stays
    EXPECT_EQ(w.checks.rounds, 0);
  }
  {
    Window w(texts);  // a normal start never announces
    Form1& form = w.Make();
    form.Form_Load();
    EXPECT_EQ(w.elevation.announcements, 0);
    EXPECT_EQ(w.checks.rounds, 0);
    EXPECT_EQ(w.view.check2, CheckState::Checked);
  }
}

// "/treat-now" is honoured only by an elevated copy, and only as the whole command line.
TEST_F(ElevatedCopyTest, TheStartToTreatIsHonouredOnlyElevated) {
  struct Case {
    std::vector<Text> arguments;
    Runs runs;
    StartKind kind;
  };
  const Case cases[] = {
      {{u"/treat-now"}, Runs::ElevatedCopy, StartKind::TreatNow},
      {{u"/TREAT-NOW"}, Runs::ElevatedWithoutSplit, StartKind::TreatNow},
      {{u"/treat-now"}, Runs::Unelevated, StartKind::Normal},
      {{}, Runs::ElevatedCopy, StartKind::Normal},
      {{u"/treat-now", u"C:\\x"}, Runs::ElevatedCopy, StartKind::Normal},
      {{u"/treat"}, Runs::ElevatedCopy, StartKind::Normal},
  };
  for (const Case& c : cases) {
    fakes::FakeElevation e;
    Become(e, c.runs);
    EXPECT_EQ(StartKindOf(c.arguments, e), c.kind) << Name(c.runs) << " " << c.arguments.size();
  }
}

class FakeSessionCopy : public SessionCopyApi {
 public:
  SessionClaim claim = SessionClaim::First;
  int claims = 0, calls = 0;
  SessionClaim Claim() override {
    ++claims;
    return claim;
  }
  void CallRunningCopyForward() override { ++calls; }
};

// One copy per user and session; the elevated copy started to treat is let through while
// the copy that started it waits for it.
TEST_F(ElevatedCopyTest, ASecondStartCallsTheRunningCopyForwardAndEnds) {
  struct Case {
    SessionClaim claim;
    StartKind kind;
    bool goesOn;
    int calls;
  };
  const Case cases[] = {
      {SessionClaim::First, StartKind::Normal, true, 0},
      {SessionClaim::AnotherRuns, StartKind::Normal, false, 1},
      {SessionClaim::AnotherRuns, StartKind::TreatNow, true, 0},
      {SessionClaim::Unknown, StartKind::Normal, true, 0},
      {SessionClaim::First, StartKind::TreatNow, true, 0},
  };
  for (const Case& c : cases) {
    FakeSessionCopy session;
    session.claim = c.claim;
    EXPECT_EQ(GoesOnInSession(session, c.kind), c.goesOn) << static_cast<int>(c.claim);
    EXPECT_EQ(session.claims, 1);
    EXPECT_EQ(session.calls, c.calls);
  }
}

TEST_F(ElevatedCopyTest, CalledForwardTheWindowLeavesTheNotificationAreaAndComesToTheFront) {
  Window w(texts);
  Form1& form = w.Make();
  form.Form_CalledForward();  // shown: only to the front
  EXPECT_EQ(w.view.broughtToFront, 1);
  EXPECT_TRUE(w.view.deletedIcons.empty());

  form.CandyButton2_Click();  // hidden in the notification area
  form.Form_CalledForward();
  EXPECT_TRUE(w.view.windowVisible);
  EXPECT_EQ(w.view.deletedIcons.size(), 1u);
  EXPECT_EQ(w.view.broughtToFront, 2);
  form.Form_TaskbarCreated();  // the icon is gone for good: not added again
  EXPECT_EQ(w.view.addedIcons.size(), 1u);

  form.exitMe_Click();
  form.Form_CalledForward();
  EXPECT_EQ(w.view.broughtToFront, 2);
}

// The program's own error log: an unelevated copy's goes to its own local application
// data folder, an elevated copy's (either kind) to the event log, and a folder that cannot
// be made sends the line to the event log rather than losing it.
TEST_F(ElevatedCopyTest, TheOwnErrorLogGoesWhereTheRunningCopyMayWriteIt) {
  struct Case {
    const char* what;
    Runs runs;
    Text localAppData;
    SystemError make;
    bool inFolder;
  };
  const Case cases[] = {
      {"unelevated", Runs::Unelevated, u"C:\\Users\\kim\\AppData\\Local", SystemError::None, true},
      {"unelevated, separator", Runs::Unelevated, u"C:\\Users\\kim\\AppData\\Local\\", SystemError::None, true},
      {"unelevated, folder refused", Runs::Unelevated, u"C:\\Users\\kim\\AppData\\Local", SystemError::Redirected,
       false},
      {"unelevated, no folder known", Runs::Unelevated, u"", SystemError::None, false},
      {"elevated copy", Runs::ElevatedCopy, u"C:\\Users\\kim\\AppData\\Local", SystemError::None, false},
      {"elevated without a split", Runs::ElevatedWithoutSplit, u"C:\\Users\\kim\\AppData\\Local", SystemError::None,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeElevation e;
    Become(e, c.runs);
    fakes::FakeActivityLog log;
    fakes::FakeEventLog events;
    fakes::FakeOwnLogFolder folders;
    folders.localAppData = c.localAppData;
    folders.makeAnswer = c.make;
    OwnErrorLog own({e, log, events, folders});
    own.Write(u"line");
    own.Report(u"DecryptData", u"Type mismatch");
    if (c.inFolder) {
      EXPECT_EQ(log.LinesOf(kOwnLogFolder), (std::vector<Text>{u"line", u"DecryptData: Type mismatch"}));
      EXPECT_EQ(log.lines.size(), 2u);
      EXPECT_TRUE(events.events.empty());
    } else {
      EXPECT_TRUE(log.lines.empty());
      ASSERT_EQ(events.events.size(), 2u);
      EXPECT_EQ(events.events[0].first, kProgramErrorEvent);
      EXPECT_EQ(events.events[0].second, u"line");
      EXPECT_EQ(events.events[1].second, u"DecryptData: Type mismatch");
    }
    if (c.runs != Runs::Unelevated) EXPECT_TRUE(folders.made.empty());  // not even made
  }
}

}  // namespace
}  // namespace zc
