// The main window's logic under the machine's policies: "start at log-on for every user"
// shows the user's option on and disabled and writes nothing of the user's; "never open
// the homepage" opens nothing, from the version check or the icon's menu; a policy value
// that was ignored is logged beside the program at start-up.

#include <gtest/gtest.h>

#include "core/app/form1.h"
#include "core/app/own_error_log.h"
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
using fakes::kHkeyLocalMachine;

constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kMachineValue[] = u"\"C:\\Program Files\\ZombieCure\\ZombieCure.exe\"";

class Form1PoliciesTest : public ::testing::Test {
 protected:
  Text T(TextView enciphered) const { return texts.Get(enciphered); }
  std::optional<Text> StoredOption() { return settings.GetSetting(kOptionApplication, kOptionSection, kOptionKey); }
  void StoreOption(TextView value) { settings.SaveSetting(kOptionApplication, kOptionSection, kOptionKey, value); }
  std::optional<Text> UserEntry() const {
    const auto v = registry.Stored(kHkeyCurrentUser, kRunKey, T(enc::LogonValueName));
    if (!v) return std::nullopt;
    return std::get<Text>(v->value);
  }
  Form1 MakeForm(const ProgramPolicies& policies) {
    return Form1({texts, view, pump, results, settings, registry, shell, timers, definitions, checks, log, elevation},
                 policies);
  }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeForm1View view;
  fakes::FakeEventPump pump;
  fakes::FakeResultList results;
  fakes::FakeSettings settings;
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  fakes::FakeTimers timers;
  fakes::FakeDefinitionsPort definitions;
  fakes::FakeChecksPort checks;
  fakes::FakeActivityLog log;
  fakes::FakeElevation elevation;
};

// The user's stored option and the per-user log-on value against the policy, at start-up
// and after a click that still reaches the box.
TEST_F(Form1PoliciesTest, StartAtLogonForAllUsersShowsTheOptionOnAndWritesNothingOfTheUsers) {
  struct Case {
    const char* what;
    bool policy;
    std::optional<Text> storedBefore;
    CheckState shown;
    bool enabled;
    bool userEntryWritten;
  };
  const Case cases[] = {
      {"policy, option never stored", true, std::nullopt, CheckState::Checked, false, false},
      {"policy, option off", true, Text(u"off"), CheckState::Checked, false, false},
      {"policy, option on", true, Text(u"on"), CheckState::Checked, false, false},
      {"no policy, option on", false, Text(u"on"), CheckState::Checked, true, true},
      {"no policy, option off", false, Text(u"off"), CheckState::Unchecked, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view = {};
    settings = {};
    registry = {};
    if (c.storedBefore) StoreOption(*c.storedBefore);
    ProgramPolicies policies;
    policies.startAtLogonForAllUsers = c.policy;
    Form1 form = MakeForm(policies);
    form.Form_Load();

    EXPECT_FALSE(view.ended);
    EXPECT_EQ(view.check1, c.shown);
    EXPECT_EQ(view.check1Enabled, c.enabled);
    EXPECT_EQ(StoredOption(), c.storedBefore) << "the stored option is kept as it was";
    EXPECT_EQ(UserEntry().has_value(), c.userEntryWritten);

    if (c.policy) {
      // A click that still arrives (the box is disabled) changes nothing either way.
      for (const CheckState state : {CheckState::Unchecked, CheckState::Checked}) {
        view.check1 = state;
        form.Check1_Click();
      }
      EXPECT_EQ(StoredOption(), c.storedBefore);
      EXPECT_FALSE(UserEntry().has_value());
      EXPECT_FALSE(registry.HasKey(kHkeyCurrentUser, kRunKey));
      EXPECT_FALSE(view.ended);
    }
  }
}

// A per-user value beside the machine-wide one would start a second copy at log-on; it is
// removed only where the machine-wide value is there to start the program instead.
TEST_F(Form1PoliciesTest, TheUsersOwnEntryGoesOnlyWhereTheMachineWideOneStartsTheProgram) {
  for (const bool machineValue : {true, false}) {
    SCOPED_TRACE(machineValue ? "machine-wide value" : "no machine-wide value");
    registry = {};
    settings = {};
    StoreOption(u"on");
    registry.SetText(kHkeyCurrentUser, kRunKey, T(enc::LogonValueName), u"C:\\Users\\kim\\ZombieCure.exe");
    registry.SetText(kHkeyLocalMachine, kRunKey, u"Other", u"C:\\other.exe");
    if (machineValue) registry.SetText(kHkeyLocalMachine, kRunKey, T(enc::LogonValueName), kMachineValue);
    ProgramPolicies policies;
    policies.startAtLogonForAllUsers = true;
    Form1 form = MakeForm(policies);
    form.Form_Load();

    const std::optional<Text> expected =
        machineValue ? std::nullopt : std::optional<Text>(u"C:\\Users\\kim\\ZombieCure.exe");
    EXPECT_EQ(UserEntry(), expected) << "without the machine-wide value it is left exactly as it was";
    EXPECT_EQ(StoredOption(), Text(u"on"));
    EXPECT_EQ(registry.ValueCount(kHkeyLocalMachine, kRunKey), machineValue ? 2u : 1u) << "HKLM is only read";
  }
}

TEST_F(Form1PoliciesTest, ANewerVersionUnderNeverOpenHomepageSaysSoAndEndsWithoutABrowser) {
  ProgramPolicies policies;
  policies.neverOpenHomepage = true;
  definitions.newerVersion = true;
  Form1 form = MakeForm(policies);
  form.Form_Load();

  EXPECT_TRUE(view.ended);
  EXPECT_TRUE(shell.openedAddresses.empty());
  EXPECT_TRUE(shell.launches.empty());
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(view.messages[0].text, T(enc::NewVersionNotice1) + u"\r\n" + T(enc::NewVersionNoticeAskAdministrator));
  EXPECT_EQ(definitions.tableFills, 0) << "start-up ends as it does with the homepage";
  EXPECT_FALSE(timers.Running(TimerId::TmrChk));
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(Form1PoliciesTest, TheIconsMenuOpensNoHomepageUnderThePolicy) {
  for (const bool neverOpen : {true, false}) {
    SCOPED_TRACE(neverOpen ? "policy" : "no policy");
    view = {};
    shell = {};
    ProgramPolicies policies;
    policies.neverOpenHomepage = neverOpen;
    Form1 form = MakeForm(policies);
    form.Form_Load();
    EXPECT_EQ(view.homepageMenuEnabled, !neverOpen);

    view.menuChoice = TrayMenuChoice::Homepage;
    form.CandyButton2_Click();
    form.P_MouseMove(517);
    form.myHome_Click();
    EXPECT_EQ(shell.openedAddresses.size(), neverOpen ? 0u : 2u);
    EXPECT_FALSE(view.ended);
    EXPECT_TRUE(view.messages.empty());
  }
}

TEST_F(Form1PoliciesTest, IgnoredPolicyValuesGoToTheProgramsOwnLogAtStartUp) {
  ProgramPolicies policies;
  policies.ignored = {u"first line", u"second line"};
  fakes::FakeElevation unelevated;
  unelevated.elevated = false;
  fakes::FakeEventLog events;
  fakes::FakeOwnLogFolder folders;
  OwnErrorLog ownLog({unelevated, log, events, folders});
  Form1 form = MakeForm(policies);
  form.UseStart({StartKind::Normal, &ownLog});
  form.Form_Load();
  EXPECT_EQ(log.LinesOf(u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\"),
            (std::vector<Text>{u"first line", u"second line"}));
  EXPECT_EQ(log.lines.size(), 2u);
}

}  // namespace
}  // namespace zc
