// One copy per session and the messages between copies, on the real system: the second
// claim of the session's name finds the first, the name is free again once its holders
// are gone, and the "come forward" and "ready" messages reach a top-level window of this
// thread (ready with this process's id).

#include "win32/desktop/win32_session_copy.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "win32/base/unique_handle.h"
#include "win32/desktop/copy_messages.h"
#include "win32/machine/running_under_wine.h"
#include "win32/machine/win32_elevation.h"

namespace zc::win {
namespace {

TEST(SessionCopyTest, TheSecondClaimFindsTheFirstAndTheNameIsFreeAgainAfterwards) {
  {
    Win32SessionCopy first;
    ASSERT_EQ(first.Claim(), SessionClaim::First) << first.FailedCall() << " " << first.FailedError();
    // Windows always has private namespaces; only a system without them takes the
    // session's own name.
    if (!RunningUnderWine()) EXPECT_FALSE(first.UsedFallbackName());
    std::printf("private namespace %s\n", first.UsedFallbackName() ? "not implemented: session name" : "used");
    Win32SessionCopy second;
    EXPECT_EQ(second.Claim(), SessionClaim::AnotherRuns);
    Win32SessionCopy third;
    EXPECT_EQ(third.Claim(), SessionClaim::AnotherRuns);
  }
  Win32SessionCopy again;
  EXPECT_EQ(again.Claim(), SessionClaim::First);
}

// The message of `kind` that reaches `window` within the posted messages: its wParam.
std::optional<WPARAM> Received(HWND window, UINT kind) {
  std::optional<WPARAM> seen;
  MSG message;
  while (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
    if (message.message == kind) seen = message.wParam;
  }
  return seen;
}

TEST(SessionCopyTest, TheCallForwardAndTheReadyWordReachEveryTopLevelWindow) {
  UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window);
  ASSERT_NE(ComeForwardMessage(), 0u);
  ASSERT_NE(ElevatedCopyReadyMessage(), 0u);
  EXPECT_NE(ComeForwardMessage(), ElevatedCopyReadyMessage());

  Win32SessionCopy().CallRunningCopyForward();
  EXPECT_TRUE(Received(window.get(), ComeForwardMessage()).has_value());

  Win32Elevation().AnnounceReady();
  const std::optional<WPARAM> ready = Received(window.get(), ElevatedCopyReadyMessage());
  ASSERT_TRUE(ready.has_value());
  EXPECT_EQ(*ready, static_cast<WPARAM>(::GetCurrentProcessId()));
}

}  // namespace
}  // namespace zc::win
