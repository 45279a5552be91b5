// The debug privilege around one process open, under Wine. Wine runs every process as
// one elevated administrator holding every privilege and opens every process anyway, so
// what shows here is the bookkeeping: the privilege is enabled on the thread during the
// call and nowhere afterwards (the thread impersonates nothing, or its own token again,
// and the process token's privilege is as it was); processes 0 and 4 never get it.
// An open that only the privilege allows, an unelevated token and a token without the
// privilege (ERROR_NOT_ALL_ASSIGNED -> PrivilegeNotHeld) cannot be made here.

#include "win32/machine/debug_privilege.h"

#include <gtest/gtest.h>

#include "tests/win32/machine/child_process.h"

namespace zc::win {
namespace {

using testing::ChildCommand;
using testing::StartHidden;

// Whether `token` has the debug privilege enabled.
bool DebugEnabledIn(HANDLE token) {
  PRIVILEGE_SET wanted{1, PRIVILEGE_SET_ALL_NECESSARY, {}};
  EXPECT_TRUE(LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &wanted.Privilege[0].Luid));
  BOOL enabled = FALSE;
  EXPECT_TRUE(PrivilegeCheck(token, &wanted, &enabled));
  return enabled != FALSE;
}

bool ProcessDebugEnabled() {
  UniqueHandle token;
  EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()));
  return DebugEnabledIn(token.get());
}

bool ThreadImpersonates() {
  UniqueHandle token;
  return OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()) != FALSE;
}

TEST(DebugPrivilegeTest, EnabledOnTheThreadForTheCallOnlyAndNeverForProcesses0And4) {
  auto child = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(child.process);
  const bool processHadIt = ProcessDebugEnabled();
  ASSERT_FALSE(ThreadImpersonates());

  bool ran = false;
  bool enabledDuring = false;
  const DebugPrivilegeUse use = CallWithDebugPrivilege(child.id, [&] {
    ran = true;
    UniqueHandle token;
    ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()));
    enabledDuring = DebugEnabledIn(token.get());
  });
  EXPECT_EQ(use, DebugPrivilegeUse::Used);  // Wine's token is elevated and holds it
  EXPECT_TRUE(ran);
  EXPECT_TRUE(enabledDuring);
  EXPECT_FALSE(ThreadImpersonates());
  EXPECT_EQ(ProcessDebugEnabled(), processHadIt);

  for (const DWORD system : {0u, 4u}) {
    bool called = false;
    EXPECT_EQ(CallWithDebugPrivilege(system, [&] { called = true; }), DebugPrivilegeUse::NotForThis) << system;
    EXPECT_FALSE(called) << system;
  }
  TerminateProcess(child.process.get(), 0);
}

TEST(DebugPrivilegeTest, AThreadThatImpersonatedBeforeGetsItsOwnTokenBack) {
  auto child = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(child.process);
  ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation));
  UniqueHandle before;
  ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, before.put()));
  const bool enabledBefore = DebugEnabledIn(before.get());

  EXPECT_EQ(CallWithDebugPrivilege(child.id, [] {}), DebugPrivilegeUse::Used);
  UniqueHandle after;
  ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, after.put()));
  EXPECT_EQ(DebugEnabledIn(after.get()), enabledBefore);
  RevertToSelf();
  EXPECT_FALSE(ThreadImpersonates());
  TerminateProcess(child.process.get(), 0);
}

TEST(DebugPrivilegeTest, AnOpenThatNeedsNoPrivilegeAndOneOfAMissingProcess) {
  auto child = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(child.process);
  ProcessOpening opening = OpenProcessAsAdministrator(child.id, PROCESS_TERMINATE | SYNCHRONIZE);
  ASSERT_TRUE(opening.process);
  EXPECT_EQ(opening.error, SystemError::None);
  EXPECT_FALSE(ThreadImpersonates());
  // Ids are multiples of 4: an odd one names no process.
  const ProcessOpening missing = OpenProcessAsAdministrator(0x7FFFFFF1, PROCESS_TERMINATE);
  EXPECT_FALSE(missing.process);
  EXPECT_EQ(missing.error, SystemError::InvalidParameter);
  TerminateProcess(child.process.get(), 0);
}

}  // namespace
}  // namespace zc::win
