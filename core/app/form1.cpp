#include "core/app/form1.h"

#include "core/app/policy_precedence.h"
#include "core/app/web_address.h"
#include "core/machine/registry_values.h"

namespace zc {

Text Form1::ProgramPath(TextView folder, TextView fileName) {
  // Started from a drive's root the folder already ends with a separator; the path is
  // kept as built (Windows reads the doubled separator as one).
  Text path(folder);
  path += u'\\';
  path += fileName;
  path += u".exe";
  return path;
}

Text Form1::LogonEntryData(TextView programPath) {
  if (programPath.find(u' ') == TextView::npos) return Text(programPath);
  Text quoted(1, u'"');
  quoted += programPath;
  quoted += u'"';
  return quoted;
}

// --- start-up ---------------------------------------------------------------------------

void Form1::Form_Load() {
  if (!CreateResultList()) return;

  p_.view.SetResultListExtendedStyle(kResultListExtendedStyle);
  const TextView headers[kColumnCount] = {enc::HeaderName, enc::HeaderProcessId, enc::HeaderPath,
                                          enc::HeaderDetail, enc::HeaderKind,    enc::HeaderKind,
                                          enc::HeaderKind};
  for (int32_t column = 0; column < kColumnCount; ++column)
    p_.view.AddResultListColumn(kColumnWidths[column], p_.texts.Get(headers[column]), column);

  p_.view.SetCaption(p_.texts.Get(enc::WindowCaption));
  p_.view.SetHomepageMenuEnabled(MayOpenHomepage(policies_));
  FadeIn(p_.view, p_.pump);
  if (ended_) return;  // a handler that ran during the fade may have ended the program

  FillNoticeLabel();
  LogIgnoredPolicies();
  ReadLogonOption();
  if (ended_) return;

  if (!LoadDefinitions()) return;
  CheckVersion();
  if (ended_) return;

  Text version = u"v";
  version += p_.texts.Get(enc::VersionText);
  p_.view.SetVersionText(version);
  if (!p_.definitions.FillPatternTables()) {
    FailAndEnd(p_.texts.Get(enc::StartupDefinitionsError), p_.texts.Get(enc::PatternListTooLong));
    return;
  }
  p_.checks.ClearReportedItems();
  StartScanTimers();
  ShowMonitoringOn();
  p_.view.SetTreatButtonShield(!p_.elevation.IsElevated());
  // Only a set that start-up ran through with raises the serial this machine requires.
  // An elevated copy raises it in its own account's settings too: the serial only ever
  // goes up, says nothing about the user, and keeps an older set from being replayed to
  // the copy that treats.
  p_.definitions.RememberAccepted();
  if (start_.kind == StartKind::TreatNow) TreatAtOnce();
}

void Form1::TreatAtOnce() {
  // The copy that started this one waits for this word and then ends.
  p_.elevation.AnnounceReady();
  // The Findings are found again here, by this copy's own checks; their ticks start
  // their timers again, so monitoring goes off after them.
  p_.checks.RunChecksOnce();
  if (ended_) return;
  p_.view.SetCheck2State(CheckState::Unchecked);
  Check2_Click();
  CandyButton1_Click();
}

bool Form1::CreateResultList() {
  if (p_.view.CreateResultList(kResultListLeft, kResultListTop, kResultListWidth, kResultListHeight))
    return true;
  p_.view.ShowCriticalMessageWithDefaultTitle(p_.texts.Get(enc::ListCreateError));
  EndProgram();
  return false;
}

void Form1::FillNoticeLabel() {
  Text notice = p_.texts.Get(enc::NoticeText1);
  notice += p_.texts.Get(enc::NoticeText2);
  notice += p_.texts.Get(enc::NoticeText3);
  notice += p_.texts.Get(enc::NoticeText4);
  notice += p_.texts.Get(enc::NoticeText5);
  p_.view.SetNoticeText(notice);
}

void Form1::LogIgnoredPolicies() {
  for (const Text& line : policies_.ignored) LogOwnError(line);
}

void Form1::ReadLogonOption() {
  if (!UserChoosesStartAtLogon(policies_)) {
    // The machine-wide value starts the program; the user's option shows that and stays
    // as it was stored, for the day the policy is lifted.
    p_.view.SetCheck1State(CheckState::Checked);
    p_.view.SetCheck1Enabled(false);
    RemoveUserEntryBesideMachineEntry();
    return;
  }
  const auto stored = p_.settings.GetSetting(kOptionApplication, kOptionSection, kOptionKey);
  // Exactly "on": "On" or "ON" read as off.
  if (StartsAtLogon(policies_, stored && *stored == kOptionOn)) {
    p_.view.SetCheck1State(CheckState::Checked);
    // The elevated copy's settings and log-on values are those of the account that
    // elevated, not the user's: it shows the option and writes nothing.
    if (!p_.elevation.IsElevatedCopy()) Check1_Click();
  } else {
    p_.view.SetCheck1State(CheckState::Unchecked);
  }
}

// Where the machine-wide log-on value exists, a per-user value beside it would start a
// second copy at every log-on: it is deleted. Without the machine-wide value (the policy
// came after the install) the user's value is what still starts the program: it stays.
void Form1::RemoveUserEntryBesideMachineEntry() {
  const Text keyPath = p_.texts.Get(enc::LogonKeyPath);
  const Text valueName = p_.texts.Get(enc::LogonValueName);
  const RegistryValue machineEntry =
      p_.registry.ReadRegistryValueInView(kLocalMachineRoot, RegistryView::Native, keyPath, valueName);
  const Text* data = std::get_if<Text>(&machineEntry);
  if (!data || data->empty()) return;
  int32_t root = 0;
  if (!LogonRoot(root)) return;
  p_.registry.DeleteRegistryValue(root, keyPath, valueName);
}

bool Form1::LoadDefinitions() {
  const DefinitionsLoadResult result = p_.definitions.Load();
  switch (result.failure) {
    case DefinitionsLoadFailure::None:
      return true;
    case DefinitionsLoadFailure::Network:
      FailAndEnd(p_.texts.Get(enc::StartupNetworkError), result.detail);
      return false;
    case DefinitionsLoadFailure::Definitions:
      FailAndEnd(p_.texts.Get(enc::StartupDefinitionsError), result.detail);
      return false;
  }
  return false;
}

void Form1::CheckVersion() {
  if (!p_.definitions.IsNewerVersionPublished()) return;
  const bool openHomepage = MayOpenHomepage(policies_);
  Text notice = p_.texts.Get(enc::NewVersionNotice1);
  notice += u"\r\n";
  notice += p_.texts.Get(openHomepage ? enc::NewVersionNotice2 : enc::NewVersionNoticeAskAdministrator);
  p_.view.ShowMessage(notice, p_.texts.Get(enc::MessageTitle), MessageIcon::Information);
  if (ended_) return;
  if (!openHomepage) {
    EndProgram();
    return;
  }
  if (!LaunchHomepage()) {
    FailAndEnd(p_.texts.Get(enc::HomepageLaunchError), p_.definitions.HomepageUrl());
    return;
  }
  EndProgram();
}

// --- buttons and menu --------------------------------------------------------------------

void Form1::CandyButton1_Click() {
  if (ended_) return;
  const Text title = p_.texts.Get(enc::MessageTitle);
  if (p_.view.Check2State() == CheckState::Checked) {
    p_.view.SetTreatButtonEnabled(false);
    p_.view.ShowMessage(p_.texts.Get(enc::TreatWhileMonitoring), title, MessageIcon::Information);
    p_.view.SetTreatButtonEnabled(true);
    return;
  }
  if (p_.results.RowCount() >= 1) {
    // The pass lets window events through while it waits; the button stays disabled
    // and a click that still gets through is ignored, so no second pass starts over the
    // same rows.
    if (treating_ || handingOver_) return;
    // The elevated copy finds the Findings again itself: nothing found by this copy is
    // handed to a process with an administrator's rights.
    if (!TreatsHere()) return;
    p_.view.SetTreatButtonEnabled(false);
    treating_ = true;
    p_.checks.TreatFindings();
    treating_ = false;
    if (ended_) return;
    p_.checks.ClearReportedItems();
    p_.view.SetTreatButtonEnabled(true);
    return;
  }
  p_.view.ShowMessage(p_.texts.Get(enc::NothingToTreat), title, MessageIcon::Information);
}

void Form1::CandyButton2_Click() {
  if (ended_) return;
  p_.view.HideMainWindow();
  trayRecord_.iconId = kTrayIconId;
  trayRecord_.flags = kTrayIconFlags;
  trayRecord_.callbackMessage = kTrayCallbackMessage;
  trayRecord_.balloonTimeoutMs = kTrayBalloonTimeoutMs;
  trayRecord_.balloonIconFlags = kTrayBalloonInfoIcon;
  trayRecord_.balloonText = p_.texts.Get(enc::BalloonText);
  p_.view.AddTrayIcon(trayRecord_);
  trayIconAdded_ = true;
}

void Form1::Form_TaskbarCreated() {
  if (ended_ || !trayIconAdded_) return;
  p_.view.AddTrayIcon(trayRecord_);
}

void Form1::Form_CalledForward() {
  if (ended_) return;
  if (trayIconAdded_) {
    p_.view.ShowMainWindow();
    p_.view.DeleteTrayIcon(trayRecord_);
    trayIconAdded_ = false;
  }
  p_.view.BringToFront();
}

void Form1::P_MouseMove(int eventCode) {
  // Callbacks that arrive while an earlier one is handled (the pop-up menu runs its own
  // event loop) are dropped.
  if (trayHandlerBusy_ || ended_) return;
  trayHandlerBusy_ = true;
  lastTrayEvent_ = eventCode;
  if (eventCode == kTrayLeftButtonUp) {
    p_.view.ShowMainWindow();
    p_.view.DeleteTrayIcon(trayRecord_);
    trayIconAdded_ = false;
  } else if (eventCode == kTrayRightButtonUp) {
    switch (p_.view.ShowTrayMenu()) {
      case TrayMenuChoice::Homepage: myHome_Click(); break;
      case TrayMenuChoice::Exit: exitMe_Click(); break;
      case TrayMenuChoice::Restore: p_.view.OpenRestoreWindow(); break;
      case TrayMenuChoice::None: break;
    }
  }
  trayHandlerBusy_ = false;
}

void Form1::myHome_Click() {
  if (ended_) return;
  // The menu's item is greyed out under the policy; a click that still arrives opens nothing.
  if (!MayOpenHomepage(policies_)) return;
  if (!LaunchHomepage())
    FailAndEnd(p_.texts.Get(enc::HomepageLaunchError), p_.definitions.HomepageUrl());
}

void Form1::exitMe_Click() {
  p_.view.DeleteTrayIcon(trayRecord_);
  trayIconAdded_ = false;
  EndProgram();
}

void Form1::Form_QueryUnload() {
  p_.view.DeleteTrayIcon(trayRecord_);
  trayIconAdded_ = false;
  EndProgram();
}

// The homepage address comes with the downloaded definitions: only a plain web address is
// opened; anything else is left alone and logged, which is not a failure to open it.
bool Form1::LaunchHomepage() {
  const Text address = p_.definitions.HomepageUrl();
  if (!IsOpenableWebAddress(address)) {
    LogOwnError(p_.texts.Get(enc::HomepageIgnored) + PrintableAddress(address));
    return true;
  }
  return p_.shell.OpenWebAddress(address);
}

void Form1::LogOwnError(TextView line) {
  if (start_.ownLog) start_.ownLog->Write(line);
}

// --- options -------------------------------------------------------------------------------

void Form1::Check1_Click() {
  if (ended_) return;
  // Under the machine policy the box is disabled; nothing of the user's is written.
  if (!UserChoosesStartAtLogon(policies_)) return;
  const bool on = p_.view.Check1State() != CheckState::Unchecked;
  if (p_.elevation.IsElevatedCopy()) {
    // Nothing goes into the hive of the account that elevated; the box goes back.
    p_.view.SetCheck1State(on ? CheckState::Unchecked : CheckState::Checked);
    p_.view.ShowMessage(p_.texts.Get(enc::LogonOptionNotElevated), p_.texts.Get(enc::MessageTitle),
                        MessageIcon::Information);
    return;
  }
  if (!p_.settings.SaveSetting(kOptionApplication, kOptionSection, kOptionKey,
                               on ? kOptionOn : kOptionOff)) {
    FailAndEnd(p_.texts.Get(enc::OptionSaveError));
    return;
  }
  int32_t root = 0;
  if (!LogonRoot(root)) return;
  const Text keyPath = p_.texts.Get(enc::LogonKeyPath);
  const Text valueName = p_.texts.Get(enc::LogonValueName);
  if (on) {
    p_.registry.WriteRegistryString(
        root, keyPath, valueName,
        LogonEntryData(ProgramPath(p_.view.ProgramFolder(), p_.view.ProgramFileName())));
  } else {
    p_.registry.DeleteRegistryValue(root, keyPath, valueName);
  }
}

bool Form1::LogonRoot(int32_t& root) {
  const auto parsed = ParseRootKeyText(p_.texts.Get(enc::LogonRootText));
  if (!parsed) {
    FailAndEnd(p_.texts.Get(enc::LogonRootError));
    return false;
  }
  root = *parsed;
  return true;
}

void Form1::Check2_Click() {
  if (ended_) return;
  if (p_.view.Check2State() == CheckState::Checked) {
    p_.view.SetIndicatorVisible(true);
    ShowMonitoringOn();
    p_.timers.SetTimerInterval(TimerId::TmrChk, kScanIntervalMs);
    StartScanTimers();
  } else {
    p_.view.SetIndicatorVisible(false);
    p_.view.SetStatusText(p_.texts.Get(enc::StatusMonitoringOff));
    p_.timers.SetTimerInterval(TimerId::TmrChk, 0);
    StopScanTimers();
  }
}

void Form1::ShowMonitoringOn() { p_.view.SetStatusText(p_.texts.Get(enc::StatusMonitoringOn)); }

void Form1::StartScanTimers() {
  p_.timers.StartTimer(TimerId::TmrChk);
  p_.timers.StartTimer(TimerId::Timer1);
  p_.timers.StartTimer(TimerId::Timer2);
}

void Form1::StopScanTimers() {
  p_.timers.StopTimer(TimerId::TmrChk);
  p_.timers.StopTimer(TimerId::Timer1);
  p_.timers.StopTimer(TimerId::Timer2);
}

// --- ending --------------------------------------------------------------------------------

void Form1::FailAndEnd(TextView message, TextView detail) {
  Text report(message);
  if (!detail.empty()) {
    report += u"\r\n\r\n";
    report += p_.texts.Get(enc::ErrorDetailLead);
    report += detail;
  }
  p_.view.ShowMessage(report, p_.texts.Get(enc::MessageTitle), MessageIcon::Critical);
  EndProgram();
}

void Form1::EndProgram() {
  if (ended_) return;
  ended_ = true;
  p_.view.EndProgram();
}

}  // namespace zc
