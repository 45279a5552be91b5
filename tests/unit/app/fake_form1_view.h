#pragma once
// The main window's controls as plain state, with an ordered journal of what the
// logic did to them, and an event pump with a hand-driven clock.

#include <functional>
#include <string>
#include <vector>

#include "core/app/event_pump.h"
#include "core/app/form1_ports.h"
#include "core/app/form1_view.h"
#include "core/base/rounding.h"
#include "tests/fakes/fake_timers.h"

namespace zc::fakes {

class FakeForm1View : public Form1View {
 public:
  struct Message {
    Text text;
    Text title;  // empty for the default title
    MessageIcon icon;
  };
  struct Column {
    int32_t width;
    Text header;
    int32_t index;
  };

  // --- state --------------------------------------------------------------------------
  bool listCreatable = true;
  bool listCreated = false;
  int listLeft = 0, listTop = 0, listWidth = 0, listHeight = 0;
  uint32_t listExtendedStyle = 0;
  std::vector<Column> columns;
  Text caption, noticeText, versionText, statusText, treatedCountText = u"0건", indicatorText;
  CheckState check1 = CheckState::Unchecked;
  bool check1Enabled = true;
  bool homepageMenuEnabled = true;
  CheckState check2 = CheckState::Checked;
  bool indicatorVisible = true;
  bool treatButtonEnabled = true;
  bool windowVisible = false;
  bool windowEnabled = true;
  bool layered = false;
  std::vector<int> opacities;
  std::vector<Message> messages;
  std::vector<TrayIconRecord> addedIcons, deletedIcons;
  TrayMenuChoice menuChoice = TrayMenuChoice::None;
  int restoreWindowsOpened = 0;
  int menusShown = 0;
  bool ended = false;
  Text folder = u"C:\\Program Files\\Zombie";
  Text fileName = u"ZombieCure";
  std::vector<std::string> journal;  // "caption", "fade-begin", "notice", ...
  // What the fade does to the window, in order: "disable", "enable", "layered",
  // "unlayered", "opacity N", "show".
  std::vector<std::string> fadeJournal;

  std::function<void(const Message&)> onMessage;  // runs while a box is "open"
  std::function<void()> onMenu;                   // runs while the pop-up is "open"

  // --- Form1View ------------------------------------------------------------------------
  bool CreateResultList(int left, int top, int width, int height) override {
    journal.push_back("list");
    listLeft = left, listTop = top, listWidth = width, listHeight = height;
    listCreated = listCreatable;
    return listCreated;
  }
  void SetResultListExtendedStyle(uint32_t style) override { listExtendedStyle = style; }
  void AddResultListColumn(int32_t width, TextView header, int32_t index) override {
    columns.push_back({width, Text(header), index});
  }
  void ShowCriticalMessageWithDefaultTitle(TextView text) override {
    messages.push_back({Text(text), Text(), MessageIcon::Critical});
  }
  void SetCaption(TextView text) override { journal.push_back("caption"); caption = Text(text); }
  void SetNoticeText(TextView text) override { journal.push_back("notice"); noticeText = Text(text); }
  void SetVersionText(TextView text) override { journal.push_back("version"); versionText = Text(text); }
  CheckState Check1State() override { return check1; }
  void SetCheck1State(CheckState state) override { journal.push_back("check1"); check1 = state; }
  void SetCheck1Enabled(bool enabled) override { check1Enabled = enabled; }
  CheckState Check2State() override { return check2; }
  void SetCheck2State(CheckState state) override { journal.push_back("check2"); check2 = state; }
  void SetIndicatorVisible(bool visible) override { indicatorVisible = visible; }
  void SetTreatButtonEnabled(bool enabled) override { treatButtonEnabled = enabled; }
  void HideMainWindow() override { windowVisible = false; }
  void BringToFront() override { journal.push_back("front"); ++broughtToFront; }
  int broughtToFront = 0;
  void AddTrayIcon(const TrayIconRecord& record) override { addedIcons.push_back(record); }
  void DeleteTrayIcon(const TrayIconRecord& record) override { deletedIcons.push_back(record); }
  TrayMenuChoice ShowTrayMenu() override {
    ++menusShown;
    if (onMenu) onMenu();
    return menuChoice;
  }
  void SetHomepageMenuEnabled(bool enabled) override { homepageMenuEnabled = enabled; }
  void OpenRestoreWindow() override { ++restoreWindowsOpened; }
  Text ProgramFolder() override { return folder; }
  Text ProgramFileName() override { return fileName; }

  // --- FadeTarget -------------------------------------------------------------------------
  void SetWindowEnabled(bool enabled) override {
    fadeJournal.push_back(enabled ? "enable" : "disable");
    windowEnabled = enabled;
  }
  void SetLayeredStyle(bool on) override {
    journal.push_back(on ? "fade-begin" : "fade-end");
    fadeJournal.push_back(on ? "layered" : "unlayered");
    layered = on;
  }
  void SetLayeredOpacity(uint8_t opacity) override {
    fadeJournal.push_back("opacity " + std::to_string(opacity));
    opacities.push_back(opacity);
  }
  void ShowMainWindow() override {
    fadeJournal.push_back("show");
    windowVisible = true;
  }

  // --- MainWindowView ----------------------------------------------------------------------
  void SetStatusText(TextView text) override { journal.push_back("status"); statusText = Text(text); }
  void SetTreatedCountText(TextView text) override { treatedCountText = Text(text); }
  Text IndicatorText() override { return indicatorText; }
  void SetIndicatorText(TextView text) override { indicatorText = Text(text); }
  void ShowMessage(TextView text, TextView title, MessageIcon icon) override {
    journal.push_back("message");
    messages.push_back({Text(text), Text(title), icon});
    if (onMessage) onMessage(messages.back());
  }
  void Delay(float) override {}
  void SetTreatButtonShield(bool shown) override { treatButtonShield = shown; }
  bool AskYesNo(TextView text, TextView title) override {
    journal.push_back("question");
    questions.push_back({Text(text), Text(title), MessageIcon::Information});
    return answerYes;
  }
  Answer AskYesNoCancel(TextView text, TextView title) override {
    journal.push_back("question");
    questions.push_back({Text(text), Text(title), MessageIcon::Information});
    return answer;
  }
  bool treatButtonShield = false;
  bool answerYes = true;
  Answer answer = Answer::Cancel;
  std::vector<Message> questions;
  void EndProgram() override { journal.push_back("end"); ended = true; }
};

// A clock that moves only when the code under test sleeps; `onEvents` stands for the
// window events that a pump lets through.
class FakeEventPump : public EventPump {
 public:
  uint64_t now = 1000;
  int eventRounds = 0;
  std::vector<uint32_t> sleeps;
  std::vector<char> calls;  // 'e' events, 's' sleep
  std::function<void()> onEvents;

  void ProcessPendingEvents() override {
    ++eventRounds;
    calls.push_back('e');
    if (onEvents) onEvents();
  }
  void Sleep(uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    calls.push_back('s');
    now += milliseconds;
  }
  uint64_t NowMilliseconds() override { return now; }
};

// Where the ports and the timers write what they were asked, when a test wants one order
// for them and the view together (point it at the view's journal).
inline void Note(std::vector<std::string>* journal, const char* entry) {
  if (journal) journal->push_back(entry);
}

class FakeDefinitionsPort : public DefinitionsPort {
 public:
  DefinitionsLoadResult loadResult;
  bool newerVersion = false;
  bool tablesFit = true;
  Text homepage = u"http://zombie.example/home";
  int loads = 0, tableFills = 0;
  std::vector<std::string>* journal = nullptr;  // "load", "version-check", "tables"

  DefinitionsLoadResult Load() override {
    Note(journal, "load");
    ++loads;
    return loadResult;
  }
  bool IsNewerVersionPublished() override {
    Note(journal, "version-check");
    return newerVersion;
  }
  Text HomepageUrl() override { return homepage; }
  int remembered = 0;
  void RememberAccepted() override { ++remembered; }
  bool FillPatternTables() override {
    Note(journal, "tables");
    ++tableFills;
    return tablesFit;
  }
};

class FakeChecksPort : public ChecksPort {
 public:
  int clears = 0, passes = 0;
  std::function<void()> onTreat;
  std::vector<std::string>* journal = nullptr;  // "clear", "treat"
  void ClearReportedItems() override {
    Note(journal, "clear");
    ++clears;
  }
  int rounds = 0;
  std::function<void()> onRound;  // what the checks find in their one round
  void RunChecksOnce() override {
    Note(journal, "checks");
    ++rounds;
    if (onRound) onRound();
  }
  void TreatFindings() override {
    Note(journal, "treat");
    ++passes;
    if (onTreat) onTreat();
  }
  int32_t needingAdministrator = 0;  // as the pass would judge the listed Findings
  int32_t FindingsNeedingAdministrator() override { return needingAdministrator; }
};

// The timers, with their starts and stops also in a journal ("start TmrChk", ...).
class JournalingTimers : public FakeTimers {
 public:
  std::vector<std::string>* journal = nullptr;
  void StartTimer(TimerId timer) override {
    Note(journal, (std::string("start ") + Name(timer)).c_str());
    FakeTimers::StartTimer(timer);
  }
  void StopTimer(TimerId timer) override {
    Note(journal, (std::string("stop ") + Name(timer)).c_str());
    FakeTimers::StopTimer(timer);
  }

 private:
  static const char* Name(TimerId timer) {
    switch (timer) {
      case TimerId::Timer1: return "Timer1";
      case TimerId::Timer2: return "Timer2";
      case TimerId::TmrChk: return "TmrChk";
    }
    return "?";
  }
};

}  // namespace zc::fakes
