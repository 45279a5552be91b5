#include "core/engine/scan_scheduler.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/engine/window_title_search.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHkcu;

TEST(WindowTitleSearchTest, FragmentAnywhereInTheTitleExactCase) {
  fakes::FakeWindowEnum windows;
  const Text longTitle = Text(255, u'x') + u"Needle";
  windows.windows = {{11, u"Program Manager"}, {22, u"Wine System Tray"}, {33, u"좀비 치료기 - 정지 요청 (1)"},
                     {44, longTitle}, {55, u"tray again"}};
  WindowTitleSearch search(windows);
  struct Case {
    const char16_t* fragment;
    WindowHandle found;
  };
  const Case cases[] = {
      {u"System", 22}, {u"정지 요청", 33}, {u"tray", 55}, {u"TRAY AGAIN", 0},
      {u"", 11},       // an empty fragment matches the first window
      {u"Needle", 0},  // beyond the 255 characters that a title read gives
      {u"xxx", 44},
  };
  for (const Case& c : cases) EXPECT_EQ(search.FindWindowByTitle(c.fragment), c.found) << ToUtf8(c.fragment);
  windows.windows.clear();
  EXPECT_EQ(search.FindWindowByTitle(u""), 0u);
}

class ScanSchedulerTest : public ::testing::Test {
 protected:
  EngineWorld w;
  RegistryInfectionCheck registryCheck{w.texts, w.definitions, w.registry, w.results, w.rowBuffer};
  ServiceCheck serviceCheck{w.texts, w.definitions, w.registry, w.results, w.rowBuffer};
  ConnectionScan scan{w.texts, w.definitions, w.listings, w.inventory, w.endRules, w.shell, w.registry, w.results, w.rowBuffer};
  int check2Clicks = 0;
  ScanScheduler scheduler{w.texts, w.timers, registryCheck, serviceCheck, scan, w.view, w.windows,
                          [this] { ++check2Clicks; }};
};

TEST_F(ScanSchedulerTest, EachTickStopsItsTimerRunsItsCheckAndStartsItAgain) {
  w.definitions.RegistryEntryList = {u"Updater"};
  w.registry.SetText(kHkcu, w.T(enc::InfectionKeyPath), u"Updater", u"C:\\u.exe");
  scheduler.Timer1_Timer();
  EXPECT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(w.timers.calls, (std::vector<std::pair<char, TimerId>>{{'-', TimerId::Timer1}, {'+', TimerId::Timer1}}));

  w.timers.calls.clear();
  w.definitions.ServiceNameList = {u"Svc"};
  scheduler.Timer2_Timer();
  EXPECT_EQ(w.timers.calls, (std::vector<std::pair<char, TimerId>>{{'-', TimerId::Timer2}, {'+', TimerId::Timer2}}));

  // The connection scan runs with TmrChk stopped.
  w.timers.calls.clear();
  scheduler.TmrChk_Timer();
  EXPECT_EQ(w.console.calls, (std::vector<Text>{w.T(enc::ConnectionListCommand)}));
  EXPECT_EQ(w.timers.calls, (std::vector<std::pair<char, TimerId>>{{'-', TimerId::TmrChk}, {'+', TimerId::TmrChk}}));
}

TEST_F(ScanSchedulerTest, TheIndicatorCyclesThroughZeroToElevenSquares) {
  const Text square = u"\u25A0";
  std::vector<size_t> lengths;
  for (int tick = 0; tick < 13; ++tick) {
    scheduler.Timer2_Timer();
    lengths.push_back(w.view.indicatorText.size());
  }
  EXPECT_EQ(lengths, (std::vector<size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1}));
  EXPECT_EQ(w.view.indicatorText, square);
}

TEST_F(ScanSchedulerTest, AWatchedWindowShowsTheMessageAndSkipsTheScan) {
  w.windows.windows = {{7, u"Notepad"}, {9, u"[" + w.T(enc::WatchedWindowTitle2) + u"]"}};
  scheduler.TmrChk_Timer();
  EXPECT_EQ(w.windows.enumerations, 2);  // both titles are always searched
  ASSERT_EQ(w.view.messages.size(), 1u);
  EXPECT_EQ(w.view.messages[0].text, w.T(enc::WatchedWindowNotice1) + u"\r\n" + w.T(enc::WatchedWindowNotice2));
  EXPECT_EQ(w.view.messages[0].title, w.T(enc::MessageTitle));
  EXPECT_EQ(w.view.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(check2Clicks, 1);
  EXPECT_TRUE(w.console.calls.empty());
  EXPECT_TRUE(w.timers.Running(TimerId::TmrChk));

  w.windows.windows = {{7, u"Notepad"}};
  scheduler.TmrChk_Timer();
  EXPECT_EQ(w.view.messages.size(), 1u);
  EXPECT_EQ(w.console.calls.size(), 1u);
}

TEST_F(ScanSchedulerTest, AFailingStepStillStartsTheTimerAgain) {
  w.windows.windows = {{9, w.T(enc::WatchedWindowTitle1)}};
  w.view.onMessage = [](const fakes::FakeMainWindowView::Message&) { throw std::runtime_error("window gone"); };
  scheduler.TmrChk_Timer();
  EXPECT_TRUE(w.timers.Running(TimerId::TmrChk));
  EXPECT_EQ(check2Clicks, 0);
}

}  // namespace
}  // namespace zc
