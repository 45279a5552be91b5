// The main window's logic against in-memory controls, settings, registry, shell and
// timers: the start-up sequence and its failures, the version check, the buttons, the
// options and the notification-area icon.

#include "core/app/form1.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_form1_view.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_elevation.h"
#include "tests/fakes/fake_event_log.h"
#include "tests/fakes/fake_own_log_folder.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_settings.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_timers.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;

class Form1Test : public ::testing::Test {
 protected:
  // One journal, in order, for the view, the definitions, the checks and the timers.
  Form1Test() {
    definitions.journal = &view.journal;
    checks.journal = &view.journal;
    timers.journal = &view.journal;
  }
  Text T(TextView enciphered) const { return texts.Get(enciphered); }
  Text LogonKey() const { return T(enc::LogonKeyPath); }
  Text LogonName() const { return T(enc::LogonValueName); }
  std::optional<Text> StoredOption() {
    return settings.GetSetting(kOptionApplication, kOptionSection, kOptionKey);
  }
  void StoreOption(TextView value) {
    settings.SaveSetting(kOptionApplication, kOptionSection, kOptionKey, value);
  }
  Text LogonValue() const {
    auto v = registry.Stored(kHkeyCurrentUser, LogonKey(), LogonName());
    return v ? std::get<Text>(v->value) : Text(u"<none>");
  }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeForm1View view;
  fakes::FakeEventPump pump;
  fakes::FakeResultList results;
  fakes::FakeSettings settings;
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  fakes::JournalingTimers timers;
  fakes::FakeDefinitionsPort definitions;
  fakes::FakeChecksPort checks;
  fakes::FakeActivityLog log;
  fakes::FakeElevation elevation;
  Form1 form{{texts, view, pump, results, settings, registry, shell, timers, definitions, checks, log, elevation}};
};

TEST_F(Form1Test, StartUpRunsItsStepsInOrderAndEndsMonitoring) {
  timers.timers[TimerId::Timer1].running = false;  // prove that start-up starts all three
  timers.timers[TimerId::Timer2].running = false;
  form.Form_Load();

  EXPECT_FALSE(form.Ended());
  EXPECT_EQ(view.journal,
            (std::vector<std::string>{"list", "caption", "fade-begin", "fade-end", "notice", "check1", "load",
                                      "version-check", "version", "tables", "clear", "start TmrChk",
                                      "start Timer1", "start Timer2", "status"}));
  EXPECT_EQ((std::vector<int>{view.listLeft, view.listTop, view.listWidth, view.listHeight}),
            (std::vector<int>{10, 10, 662, 242}));
  EXPECT_EQ(view.listExtendedStyle, 33u);
  ASSERT_EQ(view.columns.size(), 7u);
  const std::vector<int32_t> widths = {100, 60, 200, 200, 100, 50, 50};
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(view.columns[i].width, widths[i]);
    EXPECT_EQ(view.columns[i].index, static_cast<int32_t>(i));
    EXPECT_FALSE(view.columns[i].header.empty());
  }
  EXPECT_EQ(view.columns[4].header, view.columns[5].header);
  EXPECT_EQ(view.columns[4].header, view.columns[6].header);
  EXPECT_EQ(view.caption, T(enc::WindowCaption));
  EXPECT_EQ(view.noticeText, T(enc::NoticeText1) + T(enc::NoticeText2) + T(enc::NoticeText3) +
                                 T(enc::NoticeText4) + T(enc::NoticeText5));
  EXPECT_EQ(view.versionText, u"v" + T(enc::VersionText));
  EXPECT_EQ(view.statusText, T(enc::StatusMonitoringOn));
  EXPECT_EQ(definitions.loads, 1);
  EXPECT_EQ(definitions.tableFills, 1);
  EXPECT_EQ(checks.clears, 1);
  for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::TmrChk}) EXPECT_TRUE(timers.Running(id));
  EXPECT_TRUE(view.windowVisible);
  EXPECT_TRUE(view.windowEnabled);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(Form1Test, StartUpFailuresEndTheProgramWithANamedReport) {
  struct Case {
    const char* name;
    DefinitionsLoadFailure failure;
    bool tablesFit;
    TextView expectedText;
  };
  const Case cases[] = {
      {"no network", DefinitionsLoadFailure::Network, true, enc::StartupNetworkError},
      {"bad definitions", DefinitionsLoadFailure::Definitions, true, enc::StartupDefinitionsError},
      {"pattern list too long", DefinitionsLoadFailure::None, false, enc::StartupDefinitionsError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeForm1View v;
    fakes::FakeTimers t;
    fakes::FakeDefinitionsPort d;
    fakes::FakeChecksPort k;
    d.loadResult = {c.failure, u"the detail"};
    d.tablesFit = c.tablesFit;
    Form1 f({texts, v, pump, results, settings, registry, shell, t, d, k, log, elevation});
    f.Form_Load();

    EXPECT_TRUE(f.Ended());
    EXPECT_TRUE(v.ended);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_EQ(v.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(v.messages[0].title, T(enc::MessageTitle));
    EXPECT_EQ(v.messages[0].text.rfind(T(c.expectedText), 0), 0u);
    EXPECT_TRUE(v.statusText.empty());
    EXPECT_FALSE(t.Running(TimerId::TmrChk));
    EXPECT_EQ(k.clears, 0);
    EXPECT_EQ(d.remembered, 0);  // a set start-up did not run through with raises no serial
  }
}

TEST_F(Form1Test, NetworkReportCarriesThePlatformsReason) {
  definitions.loadResult = {DefinitionsLoadFailure::Network, u"연결이 거부되었습니다"};
  form.Form_Load();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            T(enc::StartupNetworkError) + u"\r\n\r\n" + T(enc::ErrorDetailLead) + u"연결이 거부되었습니다");
  EXPECT_TRUE(view.versionText.empty());
}

TEST_F(Form1Test, AListThatCannotBeCreatedEndsWithTheCriticalBoxUnderTheDefaultTitle) {
  view.listCreatable = false;
  form.Form_Load();
  EXPECT_TRUE(view.ended);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::ListCreateError));
  EXPECT_TRUE(view.messages[0].title.empty());
  EXPECT_EQ(view.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(view.journal, (std::vector<std::string>{"list", "end"}));
  EXPECT_EQ(definitions.loads, 0);
}

TEST_F(Form1Test, ANewerPublishedVersionShowsTheNoticeOpensTheHomepageAndEnds) {
  definitions.newerVersion = true;
  bool launchedBeforeBoxClosed = false;
  view.onMessage = [&](const auto&) { launchedBeforeBoxClosed = !shell.openedAddresses.empty(); };
  form.Form_Load();

  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::NewVersionNotice1) + u"\r\n" + T(enc::NewVersionNotice2));
  EXPECT_EQ(view.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(view.messages[0].title, T(enc::MessageTitle));
  EXPECT_FALSE(launchedBeforeBoxClosed);
  EXPECT_EQ(shell.openedAddresses, std::vector<Text>{u"http://zombie.example/home"});
  EXPECT_TRUE(shell.launches.empty());
  EXPECT_TRUE(view.ended);
  EXPECT_TRUE(view.versionText.empty());
  EXPECT_FALSE(timers.Running(TimerId::TmrChk));
}

TEST_F(Form1Test, AHomepageThatCannotBeOpenedEndsWithAReport) {
  definitions.newerVersion = true;
  shell.failAll = true;
  form.Form_Load();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[1].icon, MessageIcon::Critical);
  EXPECT_EQ(view.messages[1].text.rfind(T(enc::HomepageLaunchError), 0), 0u);
  EXPECT_TRUE(view.ended);
}

// The homepage address arrives with the downloaded definitions: only a plain web address
// reaches the shell, as the one thing it opens; anything else is logged and left alone,
// from the version check and from the icon's menu alike.
TEST_F(Form1Test, OnlyAPlainWebAddressIsOpenedAsTheHomepage) {
  struct Case {
    Text address;
    bool opened;
  };
  const Case cases[] = {
      {u"http://zombie.example/home", true},
      {u"https://zombie.example/a/b?c=d&e=f#g", true},
      {u"HTTPS://ZOMBIE.EXAMPLE", true},
      {u"http://127.0.0.1:8731/zombie/", true},
      {u"http://좀비.example/홈", true},
      {u"C:\\Windows\\System32\\calc.exe", false},
      {u"calc", false},
      {u"file:///C:/Windows/System32/calc.exe", false},
      {u"ftp://zombie.example/", false},
      {u"javascript:alert(1)", false},
      {u"http:zombie.example", false},
      {u"http://", false},
      {u"https:///etc", false},
      {u" http://zombie.example/", false},
      {u"http://zombie.example/ C:\\evil.exe", false},
      {u"http://zombie.example/\" C:\\evil.exe", false},
      {u"http://zombie.example/'x'", false},
      {u"http://zombie.example/\tx", false},
      {u"http://zombie.example/\r\nforged log line", false},
      {Text(u"http://zombie.example/") + char16_t(0x3000) + u"x", false},
      {Text(u"http://zombie.example/") + char16_t(0x85), false},
      {u"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.address));
    for (const bool fromVersionCheck : {true, false}) {
      fakes::FakeForm1View v;
      fakes::FakeShell sh;
      fakes::FakeDefinitionsPort d;
      fakes::FakeActivityLog l;
      fakes::FakeElevation unelevated;
      unelevated.elevated = false;
      fakes::FakeEventLog ev;
      fakes::FakeOwnLogFolder folders;
      OwnErrorLog ownLog({unelevated, l, ev, folders});
      d.homepage = c.address;
      d.newerVersion = fromVersionCheck;
      v.menuChoice = TrayMenuChoice::Homepage;
      Form1 f({texts, v, pump, results, settings, registry, sh, timers, d, checks, l, elevation});
      f.UseStart({StartKind::Normal, &ownLog});
      if (fromVersionCheck) {
        f.Form_Load();
        EXPECT_TRUE(v.ended);  // a newer version ends the program whatever the address
      } else {
        f.CandyButton2_Click();
        f.P_MouseMove(517);
        EXPECT_FALSE(v.ended);
      }
      EXPECT_TRUE(sh.launches.empty());
      EXPECT_EQ(sh.openedAddresses, c.opened ? std::vector<Text>{c.address} : std::vector<Text>{});
      if (c.opened) {
        EXPECT_TRUE(l.lines.empty());
      } else {
        Text printable = c.address;
        for (char16_t& ch : printable) if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F)) ch = u'?';
        // The program's own error log of an unelevated copy, never the program's folder.
        EXPECT_EQ(l.LinesOf(u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\"),
                  std::vector<Text>{T(enc::HomepageIgnored) + printable});
        EXPECT_EQ(l.lines.size(), 1u);
        EXPECT_TRUE(ev.events.empty());
      }
      EXPECT_EQ(v.messages.size(), fromVersionCheck ? 1u : 0u);  // no failure report
    }
  }
}

TEST_F(Form1Test, StoredOptionIsReadCaseSensitivelyAtStartUp) {
  struct Case {
    std::optional<Text> stored;
    CheckState expected;
    bool written;
  };
  const Case cases[] = {
      {Text(u"on"), CheckState::Checked, true},
      {Text(u"On"), CheckState::Unchecked, false},
      {Text(u"ON"), CheckState::Unchecked, false},
      {Text(u"off"), CheckState::Unchecked, false},
      {Text(u" on"), CheckState::Unchecked, false},
      {std::nullopt, CheckState::Unchecked, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? ToUtf8(*c.stored) : std::string("<none>"));
    fakes::FakeForm1View v;
    fakes::FakeSettings s;
    fakes::FakeRegistry r;
    if (c.stored) s.SaveSetting(kOptionApplication, kOptionSection, kOptionKey, *c.stored);
    Form1 f({texts, v, pump, results, s, r, shell, timers, definitions, checks, log, elevation});
    f.Form_Load();
    EXPECT_EQ(v.check1, c.expected);
    EXPECT_EQ(r.ValueCount(kHkeyCurrentUser, LogonKey()), c.written ? 1u : 0u);
    EXPECT_EQ(s.GetSetting(kOptionApplication, kOptionSection, kOptionKey), c.stored);
    EXPECT_EQ(r.deleteCalls, 0);
  }
}

TEST_F(Form1Test, StartUpWithTheOptionOnRepairsTheLogOnEntry) {
  StoreOption(u"on");
  registry.SetText(kHkeyCurrentUser, LogonKey(), LogonName(), u"D:\\old\\ZombieCure.exe");
  form.Form_Load();
  EXPECT_EQ(LogonValue(), u"\"C:\\Program Files\\Zombie\\ZombieCure.exe\"");
}

TEST_F(Form1Test, CheckingTwiceLeavesOneLogOnValueAndTheStoredOption) {
  registry.SetText(kHkeyCurrentUser, LogonKey(), u"Other", u"C:\\other.exe");
  view.check1 = CheckState::Checked;
  form.Check1_Click();
  EXPECT_EQ(StoredOption(), Text(u"on"));
  EXPECT_EQ(LogonValue(), u"\"C:\\Program Files\\Zombie\\ZombieCure.exe\"");

  view.check1 = CheckState::Unchecked;
  form.Check1_Click();
  EXPECT_EQ(StoredOption(), Text(u"off"));
  EXPECT_EQ(LogonValue(), u"<none>");
  EXPECT_EQ(registry.ValueCount(kHkeyCurrentUser, LogonKey()), 1u);  // the other value stays

  view.check1 = CheckState::Greyed;  // anything but unchecked counts as on
  form.Check1_Click();
  EXPECT_EQ(StoredOption(), Text(u"on"));
  EXPECT_EQ(LogonValue(), u"\"C:\\Program Files\\Zombie\\ZombieCure.exe\"");
  EXPECT_EQ(registry.ValueCount(kHkeyCurrentUser, LogonKey()), 2u);
  EXPECT_FALSE(form.Ended());
}

TEST_F(Form1Test, UncheckingWithoutAnEntryIsSilent) {
  view.check1 = CheckState::Unchecked;
  form.Check1_Click();
  EXPECT_EQ(StoredOption(), Text(u"off"));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(form.Ended());
}

TEST_F(Form1Test, RegistryFailureIsNotReportedButTheChoiceIsStored) {
  registry.FailWrites(true);
  view.check1 = CheckState::Checked;
  form.Check1_Click();
  EXPECT_EQ(StoredOption(), Text(u"on"));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(form.Ended());
}

TEST_F(Form1Test, ASettingsStoreThatCannotBeWrittenEndsTheProgram) {
  settings.failWrites = true;
  view.check1 = CheckState::Checked;
  form.Check1_Click();
  EXPECT_TRUE(view.ended);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::OptionSaveError));
  EXPECT_EQ(registry.ValueCount(kHkeyCurrentUser, LogonKey()), 0u);
}

// An unquoted path with a blank would let "C:\Program.exe" run at log-on in its place.
TEST_F(Form1Test, TheLogOnEntryIsQuotedOnlyWhenThePathHoldsABlank) {
  struct Case {
    Text folder;
    Text entry;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Zombie", u"\"C:\\Program Files\\Zombie\\ZombieCure.exe\""},
      {u"D:\\좀비 치료", u"\"D:\\좀비 치료\\ZombieCure.exe\""},
      {u"C:\\Tools", u"C:\\Tools\\ZombieCure.exe"},
      {u"C:\\", u"C:\\\\ZombieCure.exe"},
      {u"\\\\server\\share\\좀비", u"\\\\server\\share\\좀비\\ZombieCure.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.folder));
    fakes::FakeForm1View v;
    fakes::FakeRegistry r;
    v.folder = c.folder;
    v.check1 = CheckState::Checked;
    Form1 f({texts, v, pump, results, settings, r, shell, timers, definitions, checks, log, elevation});
    f.Check1_Click();
    const auto stored = r.Stored(kHkeyCurrentUser, LogonKey(), LogonName());
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::get<Text>(stored->value), c.entry);
  }
}

TEST_F(Form1Test, ProgramPathIsBuiltFromFolderAndName) {
  EXPECT_EQ(Form1::ProgramPath(u"C:\\Tools", u"ZombieCure"), u"C:\\Tools\\ZombieCure.exe");
  // Started from a drive's root the folder already ends with a separator.
  EXPECT_EQ(Form1::ProgramPath(u"C:\\", u"ZombieCure"), u"C:\\\\ZombieCure.exe");
}

TEST_F(Form1Test, MonitoringSwitchesIndicatorStatusAndTimers) {
  view.check2 = CheckState::Unchecked;
  form.Check2_Click();
  EXPECT_FALSE(view.indicatorVisible);
  EXPECT_EQ(view.statusText, T(enc::StatusMonitoringOff));
  EXPECT_EQ(timers.timers[TimerId::TmrChk].interval, 0);
  for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::TmrChk}) EXPECT_FALSE(timers.Running(id));

  view.check2 = CheckState::Checked;
  for (int i = 0; i < 2; ++i) {  // a second call while running keeps everything on
    form.Check2_Click();
    EXPECT_TRUE(view.indicatorVisible);
    EXPECT_EQ(view.statusText, T(enc::StatusMonitoringOn));
    EXPECT_EQ(timers.timers[TimerId::TmrChk].interval, 300);
    for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::TmrChk}) EXPECT_TRUE(timers.Running(id));
  }
}

TEST_F(Form1Test, TreatButtonNeverTreatsWhileMonitoring) {
  results.Append({u"bad.exe", u"12"});
  view.check2 = CheckState::Checked;
  bool disabledDuringBox = false;
  view.onMessage = [&](const auto&) { disabledDuringBox = !view.treatButtonEnabled; };
  form.CandyButton1_Click();
  EXPECT_EQ(checks.passes, 0);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::TreatWhileMonitoring));
  EXPECT_EQ(view.messages[0].icon, MessageIcon::Information);
  EXPECT_TRUE(disabledDuringBox);
  EXPECT_TRUE(view.treatButtonEnabled);
  EXPECT_EQ(results.RowCount(), 1);
}

TEST_F(Form1Test, TreatButtonWithAnEmptyListOnlyTellsSo) {
  view.check2 = CheckState::Unchecked;
  form.CandyButton1_Click();
  EXPECT_EQ(checks.passes, 0);
  EXPECT_EQ(checks.clears, 0);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, T(enc::NothingToTreat));
}

TEST_F(Form1Test, TreatButtonRunsThePassOnceThenForgetsReportedItems) {
  results.Append({u"bad.exe", u"12"});
  view.check2 = CheckState::Unchecked;
  checks.onTreat = [&] {
    EXPECT_EQ(checks.passes, 1);
    EXPECT_FALSE(view.treatButtonEnabled);
    EXPECT_EQ(checks.clears, 0);
    form.CandyButton1_Click();  // a click that slips through while the pass waits
  };
  form.CandyButton1_Click();
  EXPECT_EQ(checks.passes, 1);
  EXPECT_EQ(checks.clears, 1);
  EXPECT_TRUE(view.treatButtonEnabled);
  EXPECT_TRUE(view.messages.empty());
}

// Without an administrator's token nothing is treated here: the user is asked, and on
// Yes the program hands over to an elevated copy with only the request to treat; this
// copy ends once that copy is ready, and otherwise stays and says why.
TEST_F(Form1Test, TreatingWithoutElevationHandsOverToAnElevatedCopy) {
  struct Case {
    const char* what;
    bool answerYes;
    HandOverResult result;
    bool ended;
    Text told;  // the whole message after the question; empty for none
  };
  const Case cases[] = {
      {"yes, ready", true, {HandOverOutcome::Ready, SystemError::None, 0}, true, {}},
      {"yes, prompt declined", true, {HandOverOutcome::NotStarted, SystemError::Cancelled, 0}, false,
       T(enc::ElevationCancelled)},
      {"yes, start failed", true, {HandOverOutcome::NotStarted, SystemError::FileNotFound, 0}, false,
       T(enc::ElevationFailed) + u"2"},
      {"yes, it ended first", true, {HandOverOutcome::EndedBeforeReady, SystemError::None, 1}, false,
       T(enc::ElevatedCopyEnded) + u"1)"},
      {"yes, nothing to wait on", true, {HandOverOutcome::Unwatched, SystemError::None, 0}, false,
       T(enc::ElevatedCopyUnwatched)},
      {"yes, told to end while waiting", true, {HandOverOutcome::StoppedWaiting, SystemError::None, 0}, false, {}},
      {"no", false, {HandOverOutcome::Ready, SystemError::None, 0}, false, T(enc::ElevationCancelled)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeForm1View v;
    fakes::FakeResultList rows;
    fakes::FakeChecksPort k;
    fakes::FakeElevation e;
    e.elevated = false;
    e.handOverAnswer = c.result;
    k.needingAdministrator = 1;  // the one Finding needs an administrator
    bool buttonDuringWait = true;
    e.whileWaiting = [&] { buttonDuringWait = v.treatButtonEnabled; };
    v.answerYes = c.answerYes;
    v.check2 = CheckState::Unchecked;
    rows.Append({u"bad.exe", u"12"});
    Form1 f({texts, v, pump, rows, settings, registry, shell, timers, definitions, k, log, e});
    f.CandyButton1_Click();

    EXPECT_EQ(k.passes, 0);
    ASSERT_EQ(v.questions.size(), 1u);
    EXPECT_EQ(v.questions[0].text, T(enc::ElevationNeeded));
    EXPECT_TRUE(e.starts.empty());
    EXPECT_EQ(e.handOvers, c.answerYes ? std::vector<Text>{u"/treat-now"} : std::vector<Text>{});
    if (c.answerYes) EXPECT_FALSE(buttonDuringWait);
    EXPECT_EQ(v.ended, c.ended);
    EXPECT_EQ(rows.RowCount(), 1);
    if (c.told.empty()) {
      EXPECT_TRUE(v.messages.empty());
    } else {
      ASSERT_EQ(v.messages.size(), 1u);
      EXPECT_EQ(v.messages[0].text, c.told);
      EXPECT_TRUE(v.treatButtonEnabled);  // the copy that stays can be asked again
    }
  }
}

// While this copy waits for the elevated one, its window still answers; a second click
// on the treat button starts no second hand-over and no pass.
TEST_F(Form1Test, AClickWhileHandingOverIsIgnored) {
  fakes::FakeForm1View v;
  fakes::FakeResultList rows;
  fakes::FakeChecksPort k;
  fakes::FakeElevation e;
  e.elevated = false;
  e.handOverAnswer = {HandOverOutcome::EndedBeforeReady, SystemError::None, 3};
  k.needingAdministrator = 1;
  v.check2 = CheckState::Unchecked;
  rows.Append({u"bad.exe", u"12"});
  Form1 f({texts, v, pump, rows, settings, registry, shell, timers, definitions, k, log, e});
  e.whileWaiting = [&] { f.CandyButton1_Click(); };
  f.CandyButton1_Click();
  EXPECT_EQ(e.handOvers.size(), 1u);
  EXPECT_EQ(v.questions.size(), 1u);
  EXPECT_EQ(k.passes, 0);
}

// Without administrator rights the account treats what it owns itself: with nothing
// that needs an administrator the pass runs at once; with some, the user chooses
// between an elevated copy for all, their own now, or nothing.
TEST_F(Form1Test, WithoutElevationTheAccountTreatsItsOwnOrChooses) {
  struct Case {
    const char* what;
    int32_t needing;  // of two listed Findings
    Answer answer;
    int passes;
    size_t handOvers;
    bool asked;        // the three-way question
    Text told;         // the message after it; empty for none
  };
  const Case cases[] = {
      {"all its own", 0, Answer::Cancel, 1, 0, false, {}},
      {"one needs an administrator: yes", 1, Answer::Yes, 0, 1, true, T(enc::ElevatedCopyEnded) + u"3)"},
      {"one needs an administrator: no", 1, Answer::No, 1, 0, true, {}},
      {"one needs an administrator: cancel", 1, Answer::Cancel, 0, 0, true, T(enc::TreatmentCancelled)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeForm1View v;
    fakes::FakeResultList rows;
    fakes::FakeChecksPort k;
    fakes::FakeElevation e;
    e.elevated = false;
    e.handOverAnswer = {HandOverOutcome::EndedBeforeReady, SystemError::None, 3};
    k.needingAdministrator = c.needing;
    v.answer = c.answer;
    v.check2 = CheckState::Unchecked;
    rows.Append({u"bad.exe", u"12"});
    rows.Append({u"own.exe", u"13"});
    Form1 f({texts, v, pump, rows, settings, registry, shell, timers, definitions, k, log, e});
    f.CandyButton1_Click();
    EXPECT_EQ(k.passes, c.passes);
    EXPECT_EQ(e.handOvers.size(), c.handOvers);
    ASSERT_EQ(v.questions.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(v.questions[0].text.rfind(T(enc::OwnOrElevatedLead) + u"1" + T(enc::OwnOrElevatedTail), 0), 0u);
    }
    ASSERT_EQ(v.messages.size(), c.told.empty() ? 0u : 1u);
    if (!c.told.empty()) EXPECT_EQ(v.messages[0].text, c.told);
  }
}

TEST_F(Form1Test, TheTreatButtonShowsTheShieldOnlyWhileNotElevated) {
  for (const bool elevated : {true, false}) {
    fakes::FakeForm1View v;
    fakes::FakeElevation e;
    e.elevated = elevated;
    fakes::JournalingTimers t;
    Form1 f({texts, v, pump, results, settings, registry, shell, t, definitions, checks, log, e});
    f.Form_Load();
    EXPECT_EQ(v.treatButtonShield, !elevated);
  }
}

TEST_F(Form1Test, TrayButtonHidesTheWindowAndAddsTheFilledRecord) {
  view.windowVisible = true;
  form.CandyButton2_Click();
  EXPECT_FALSE(view.windowVisible);
  ASSERT_EQ(view.addedIcons.size(), 1u);
  const TrayIconRecord& r = view.addedIcons[0];
  EXPECT_EQ(r.iconId, 1u);
  EXPECT_EQ(r.flags, 23u);
  EXPECT_EQ(r.callbackMessage, 512u);
  EXPECT_EQ(r.balloonTimeoutMs, 1000u);
  EXPECT_EQ(r.balloonIconFlags, 1u);
  EXPECT_EQ(r.balloonText, T(enc::BalloonText));
}

TEST_F(Form1Test, IconRestoresTheWindowOnlyOnTheLeftButtonsRelease) {
  form.CandyButton2_Click();
  for (int code : {512, 513, 515, 516}) {
    form.P_MouseMove(code);
    EXPECT_FALSE(view.windowVisible) << code;
  }
  EXPECT_TRUE(view.deletedIcons.empty());
  form.P_MouseMove(514);
  EXPECT_TRUE(view.windowVisible);
  ASSERT_EQ(view.deletedIcons.size(), 1u);
  EXPECT_EQ(view.deletedIcons[0].iconId, 1u);
  EXPECT_EQ(view.menusShown, 0);
}

TEST_F(Form1Test, RightReleaseOpensTheMenuAndDropsCallbacksWhileItIsOpen) {
  form.CandyButton2_Click();
  view.onMenu = [&] { form.P_MouseMove(514); };  // arrives while the menu is open
  view.menuChoice = TrayMenuChoice::Homepage;
  form.P_MouseMove(517);
  EXPECT_EQ(view.menusShown, 1);
  EXPECT_FALSE(view.windowVisible);
  EXPECT_TRUE(view.deletedIcons.empty());
  EXPECT_EQ(shell.openedAddresses, std::vector<Text>{u"http://zombie.example/home"});

  view.onMenu = nullptr;
  form.P_MouseMove(514);  // the flag is clear again afterwards
  EXPECT_TRUE(view.windowVisible);

  view.menuChoice = TrayMenuChoice::Restore;
  form.P_MouseMove(517);
  EXPECT_EQ(view.restoreWindowsOpened, 1);
  EXPECT_TRUE(view.windowVisible);

  view.menuChoice = TrayMenuChoice::Exit;
  form.P_MouseMove(517);
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(view.deletedIcons.size(), 2u);
}

// When the notification area is made anew (its host restarted) our icon is gone; a window
// hidden there would have no way back unless the icon is added again.
TEST_F(Form1Test, TheIconIsAddedAgainWhenTheNotificationAreaIsMadeAnewWhileHidden) {
  struct Case {
    const char* name;
    std::function<void(Form1&)> before;
    size_t addedAgain;
  };
  const Case cases[] = {
      {"never hidden", [](Form1&) {}, 0},
      {"hidden in the tray", [](Form1& f) { f.CandyButton2_Click(); }, 1},
      {"hidden, then a move and a press", [](Form1& f) { f.CandyButton2_Click(); f.P_MouseMove(512); f.P_MouseMove(513); }, 1},
      {"restored by a click", [](Form1& f) { f.CandyButton2_Click(); f.P_MouseMove(514); }, 0},
      {"restored and hidden again", [](Form1& f) { f.CandyButton2_Click(); f.P_MouseMove(514); f.CandyButton2_Click(); }, 1},
      {"ended from the menu", [](Form1& f) { f.CandyButton2_Click(); f.exitMe_Click(); }, 0},
      {"closed", [](Form1& f) { f.CandyButton2_Click(); f.Form_QueryUnload(); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeForm1View v;
    Form1 f({texts, v, pump, results, settings, registry, shell, timers, definitions, checks, log, elevation});
    c.before(f);
    const size_t addedBefore = v.addedIcons.size();
    const bool visibleBefore = v.windowVisible;
    f.Form_TaskbarCreated();
    f.Form_TaskbarCreated();  // every restart of the host, not only the first
    ASSERT_EQ(v.addedIcons.size(), addedBefore + 2 * c.addedAgain);
    for (size_t i = addedBefore; i < v.addedIcons.size(); ++i) {
      EXPECT_EQ(v.addedIcons[i].iconId, 1u);
      EXPECT_EQ(v.addedIcons[i].callbackMessage, 512u);
      EXPECT_EQ(v.addedIcons[i].balloonText, T(enc::BalloonText));
    }
    EXPECT_EQ(v.windowVisible, visibleBefore);
  }
}

TEST_F(Form1Test, ClosingTheWindowDeletesTheIconWithTheStoredRecord) {
  form.Form_QueryUnload();  // before the tray button: the record is all zero
  ASSERT_EQ(view.deletedIcons.size(), 1u);
  EXPECT_EQ(view.deletedIcons[0].iconId, 0u);
  EXPECT_TRUE(view.ended);
}

}  // namespace
}  // namespace zc
