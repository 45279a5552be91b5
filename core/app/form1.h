#pragma once
// The main window's logic: the start-up sequence, the version check, the click
// handling of its buttons, check boxes and menu items, the notification-area icon and
// the closing of the window. The window procedure forwards every event here.

#include <utility>

#include "core/app/form1_ports.h"
#include "core/app/form1_view.h"
#include "core/app/program_policies.h"
#include "core/app/own_error_log.h"
#include "core/app/start_kind.h"
#include "core/app/tray_icon_record.h"
#include "core/platform/activity_log.h"
#include "core/platform/elevation_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/result_list.h"
#include "core/platform/settings_api.h"
#include "core/platform/shell_api.h"
#include "core/platform/timer_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// Where the start-at-log-on option is stored.
inline constexpr char16_t kOptionApplication[] = u"23fksd";
inline constexpr char16_t kOptionSection[] = u"sdg22f";
inline constexpr char16_t kOptionKey[] = u"ssat3";
inline constexpr char16_t kOptionOn[] = u"on";
inline constexpr char16_t kOptionOff[] = u"off";

// Result list geometry, extended style (grid lines + full-row selection) and columns.
inline constexpr int kResultListLeft = 10;
inline constexpr int kResultListTop = 10;
inline constexpr int kResultListWidth = 662;
inline constexpr int kResultListHeight = 242;
inline constexpr uint32_t kResultListExtendedStyle = 33;
inline constexpr int32_t kColumnWidths[kColumnCount] = {100, 60, 200, 200, 100, 50, 50};

inline constexpr int kScanIntervalMs = 300;

struct Form1Parts {
  const ConstantTexts& texts;
  Form1View& view;
  EventPump& pump;
  ResultList& results;
  SettingsApi& settings;
  RegistryApi& registry;
  ShellApi& shell;
  TimerApi& timers;
  DefinitionsPort& definitions;
  ChecksPort& checks;
  ActivityLog& log;  // unused by the window's logic: its own lines go to the own error log
  ElevationApi& elevation;
};

// How this copy was started and where the window's own error lines go (the program's
// own error log); set before Form_Load. Without it the start is a normal one and such
// lines are dropped.
struct Form1Start {
  StartKind kind = StartKind::Normal;
  OwnErrorLog* ownLog = nullptr;
};

class Form1 {
 public:
  // `policies`: the machine's policies, read before start-up; they win over the user's
  // own option and over the built-in homepage behaviour.
  explicit Form1(const Form1Parts& parts, ProgramPolicies policies = {})
      : p_(parts), policies_(std::move(policies)) {}

  void UseStart(const Form1Start& start) { start_ = start; }

  void Form_Load();
  void CheckVersion();
  void CandyButton1_Click();
  void CandyButton2_Click();
  void myHome_Click();
  void exitMe_Click();
  void Form_QueryUnload();
  void Check1_Click();
  void Check2_Click();
  // The icon's callback: `eventCode` is the mouse event (514 left up, 517 right up).
  void P_MouseMove(int eventCode);
  // The notification area was made anew (its host restarted) and holds no icon of ours:
  // while the window is hidden there, the icon is added again.
  void Form_TaskbarCreated();
  // A second start of the program in this session asked this copy to come forward.
  void Form_CalledForward();

  // True once the program has been told to end; handlers then do nothing more.
  bool Ended() const { return ended_; }
  const TrayIconRecord& TrayRecord() const { return trayRecord_; }

  // The program's path for the log-on entry: folder, "\", file name, ".exe".
  static Text ProgramPath(TextView folder, TextView fileName);
  // The log-on entry's data: the path, in double quotes when it holds a blank (else the
  // system would try "C:\Program.exe" first).
  static Text LogonEntryData(TextView programPath);

 private:
  bool CreateResultList();
  void FillNoticeLabel();
  void LogIgnoredPolicies();
  void ReadLogonOption();
  void RemoveUserEntryBesideMachineEntry();
  bool LoadDefinitions();
  void ShowMonitoringOn();
  void StartScanTimers();
  void StopScanTimers();
  void WriteLogonEntry();
  void DeleteLogonEntry();
  bool LogonRoot(int32_t& root);
  bool LaunchHomepage();
  // True when this copy treats now: it runs with administrator rights, or every listed
  // Finding is the running account's own to treat, or the user chose to treat their own
  // now and leave the rest listed. Otherwise the user chose an elevated copy (see
  // HandOver) or nothing, and this copy does not treat.
  bool TreatsHere();
  // Asks whether to start the program again with an administrator's token to treat; on
  // yes, hands over. False: this copy does not treat.
  bool EnsureElevated(TextView question);
  // Starts the elevated copy, waits until it is ready and then ends this one; when it is
  // not, this copy stays and says why.
  void HandOver();
  void TellWhyNoHandOver(const HandOverResult& result);
  // A copy started elevated to treat: monitoring off, the checks once, then the pass.
  void TreatAtOnce();
  void LogOwnError(TextView line);
  void FailAndEnd(TextView message, TextView detail = {});
  void EndProgram();

  Form1Parts p_;
  const ProgramPolicies policies_;
  Form1Start start_;
  TrayIconRecord trayRecord_;
  bool trayIconAdded_ = false;  // the window is hidden in the notification area
  bool treating_ = false;
  bool handingOver_ = false;  // waiting for the elevated copy to be ready
  bool trayHandlerBusy_ = false;
  int lastTrayEvent_ = 0;
  bool ended_ = false;
};

}  // namespace zc
