// A user's right to delete a file through the adapter under Wine: the running user's own
// temporary file (the shell runs as that user here), and a user with no token on this
// machine, of whom nothing can be told. Wine keeps no security descriptors, so a denial
// is shown only by the fakes that copy Windows' rules.

#include "win32/trust/win32_user_rights.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

Text RunningUserSid() {
  UniqueHandle token;
  EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()));
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  EXPECT_TRUE(GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size));
  LPWSTR text = nullptr;
  EXPECT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text));
  const Text sid = FromWide(text);
  LocalFree(text);
  return sid;
}

TEST(Win32UserRightsTest, TheRunningUsersOwnFileAndAUserWithNoTokenHere) {
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path = std::wstring(folder) + L"zc-user-rights.txt";
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  file.reset();

  Win32UserRights rights;
  // With a shell of the running user, its token decides; without one, nothing is known.
  const DeleteVerdict own = rights.MayDelete(RunningUserSid(), FromWide(path));
  EXPECT_TRUE(own == DeleteVerdict::May || (GetShellWindow() == nullptr && own == DeleteVerdict::Unknown));
  EXPECT_EQ(rights.MayDelete(u"S-1-5-21-1-2-3-4242", FromWide(path)), DeleteVerdict::Unknown);
  DeleteFileW(path.c_str());
}

// The system's answer to opening a process for termination, without ending it: this
// process may end itself; the system process is nobody's; an id no process has has
// nothing left to end.
TEST(Win32UserRightsTest, MayEndProcessIsTheSystemsAnswerToOpeningItForTermination) {
  Win32UserRights rights;
  EXPECT_EQ(rights.MayEndProcess(GetCurrentProcessId()), RightVerdict::May);
  EXPECT_EQ(rights.MayEndProcess(4), RightVerdict::MayNot);
  EXPECT_EQ(rights.MayEndProcess(0xFFFFFFF0u), RightVerdict::May);
}

}  // namespace
}  // namespace zc::win
