// Expanding a command line with a user's own variables under Wine: Wine's one account
// is the running account and the shell's, so its own variables come back as
// ExpandEnvironmentStringsW gives them; a user with no token here has none. That another
// person's token gives that person's folders is not shown here (Wine has one account).

#include "win32/machine/win32_environment.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

constexpr char16_t kLine[] = u"\"%USERPROFILE%\\x\\bot.exe\" %APPDATA% %TEMP% %SystemRoot% %zc_unset_name%";

Text ExpandedByTheSystem(TextView text) {
  wchar_t expanded[4096] = {};
  const DWORD length = ExpandEnvironmentStringsW(ToWide(text).c_str(), expanded, 4096);
  EXPECT_GT(length, 0u);
  return FromWide(expanded);
}

Text RunningUserSid() {
  UniqueHandle token;
  EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()));
  const std::optional<std::wstring> sid = TokenUserSidText(token.get());
  EXPECT_TRUE(sid.has_value());
  return sid ? FromWide(*sid) : Text();
}

TEST(Win32EnvironmentTest, TheRunningAccountsOwnVariablesAndAUserWithNoTokenHere) {
  Win32Environment environment;
  const Text own = ExpandedByTheSystem(kLine);
  ASSERT_EQ(own.find(u"%USERPROFILE%"), Text::npos);  // the test bed sets them
  EXPECT_EQ(environment.ExpandVariables(kLine), own);
  EXPECT_EQ(environment.ExpandVariablesFor(u"", kLine), own);
  EXPECT_EQ(environment.ExpandVariablesFor(RunningUserSid(), kLine), own);
  // A SID in another letter case is the same account.
  Text lower = RunningUserSid();
  lower[0] = u's';
  EXPECT_EQ(environment.ExpandVariablesFor(lower, kLine), own);
  // Nobody of this SID has a token here: nothing, never the running account's folders.
  EXPECT_EQ(environment.ExpandVariablesFor(u"S-1-5-21-1-2-3-4242", kLine), std::nullopt);
  EXPECT_EQ(environment.ExpandVariablesFor(u"S-1-5-21-1-2-3-4242", u"no variables"), std::nullopt);
}

TEST(Win32EnvironmentTest, ExpandingWithTheRunningAccountsTokenNamesItsOwnProfile) {
  UniqueHandle token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, token.put()));
  const std::optional<Text> profile = ExpandWithUserToken(token.get(), u"%USERPROFILE%\\x");
  ASSERT_TRUE(profile.has_value());
  EXPECT_EQ(*profile, ExpandedByTheSystem(u"%USERPROFILE%\\x"));
  const Text longLine(5000, u'a');
  EXPECT_EQ(ExpandWithUserToken(token.get(), longLine), longLine);
}

}  // namespace
}  // namespace zc::win
