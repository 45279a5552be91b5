// The hand-over's wait on the real system: the started program's "ready" with its own id
// ends the wait as ready; its end without one (or with another program's id) is told
// with its exit code; a program that cannot start is not started.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_elevation.h"

namespace zc::win {
namespace {

std::wstring ReadyChild() { return ToWide(FromAnsi(testing::PathNextToTest("ready_child.exe"))); }

// A top-level window of this thread receives the broadcast, as the waiting copy's does.
UniqueWindow TopLevelWindow() {
  return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
}

TEST(HandOverTest, TheStartedCopysReadyEndsTheWait) {
  UniqueWindow window = TopLevelWindow();
  ASSERT_TRUE(window);
  const HandOverResult result = StartElevatedAndWaitUntilReady(ReadyChild(), u"ready");
  EXPECT_EQ(result.outcome, HandOverOutcome::Ready);
  EXPECT_EQ(result.error, SystemError::None);
}

TEST(HandOverTest, AnEndWithoutItsOwnReadyIsToldWithTheExitCode) {
  struct Case {
    const char16_t* arguments;
    uint32_t exitCode;
  };
  const Case cases[] = {{u"end 7", 7}, {u"other", 5}};
  UniqueWindow window = TopLevelWindow();
  ASSERT_TRUE(window);
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.arguments));
    const HandOverResult result = StartElevatedAndWaitUntilReady(ReadyChild(), c.arguments);
    EXPECT_EQ(result.outcome, HandOverOutcome::EndedBeforeReady);
    EXPECT_EQ(result.exitCode, c.exitCode);
  }
}

TEST(HandOverTest, AProgramThatCannotStartIsNotStarted) {
  const HandOverResult result =
      StartElevatedAndWaitUntilReady(ToWide(FromAnsi(testing::PathNextToTest("no_such_program.exe"))), u"");
  EXPECT_EQ(result.outcome, HandOverOutcome::NotStarted);
  EXPECT_NE(result.error, SystemError::None);
}

}  // namespace
}  // namespace zc::win
