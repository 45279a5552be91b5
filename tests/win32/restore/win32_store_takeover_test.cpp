// Taking over on the real machine layer: who a SID is (the running account is never an
// administrator outside a test build), the privileges that override a DACL held by this
// thread alone, a folder and a file given back to administrators, the key's place
// cleared of what stands there, and a record read no further than asked. Wine keeps no
// owners and turns a DACL into mode bits, so what shows here is the plumbing; the rules
// rest on the fake security model.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "core/restore/backup_store.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/backup_privileges.h"
#include "win32/machine/win32_restore_files.h"
#include "win32/machine/win32_security.h"

namespace zc::win {
namespace {

struct Sid {
  explicit Sid(const wchar_t* text) {
    PSID raw = nullptr;
    EXPECT_TRUE(::ConvertStringSidToSidW(text, &raw)) << "SID";
    owned.reset(raw);
  }
  PSID get() const { return owned.get(); }
  UniqueLocalMemory owned;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void SetDacl(const std::wstring& path, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
  UniqueLocalMemory owned(descriptor);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  ::SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, dacl, nullptr);
}

TEST(Win32StoreTakeover, TheRunningAccountIsNeverAnAdministratorOutsideATestBuild) {
  const Sid account(L"S-1-5-21-1-2-3-1001");
  const Sid other(L"S-1-5-21-1-2-3-1002");
  struct Case {
    const wchar_t* sid;
    Principal read;
  };
  const Case cases[] = {{L"S-1-5-18", Principal::System},
                        {L"S-1-5-32-544", Principal::Administrators},
                        {L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", Principal::TrustedInstaller},
                        {L"S-1-5-32-545", Principal::Users},
                        {L"S-1-1-0", Principal::Users},
                        {L"S-1-5-11", Principal::Users},
                        {L"S-1-5-21-1-2-3-1002", Principal::Other},
                        {L"S-1-3-0", Principal::Other}};
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(FromWide(c.sid)));
    const Sid sid(c.sid);
    EXPECT_EQ(ClassifySid(sid.get(), account.get(), false), c.read);
    EXPECT_EQ(ClassifySid(sid.get(), account.get(), true), c.read);
  }
  EXPECT_EQ(ClassifySid(account.get(), account.get(), false), Principal::Self);
  EXPECT_EQ(ClassifySid(account.get(), account.get(), true), Principal::Administrators);
  EXPECT_EQ(ClassifySid(other.get(), account.get(), true), Principal::Other);
  // A store owned by the running account alone is not ours.
  SecurityFacts facts;
  facts.owner = ClassifySid(account.get(), account.get(), false);
  facts.folder = true;
  EXPECT_FALSE(OnlyAdministratorsCanChange(facts));
}

TEST(Win32StoreTakeover, ThePrivilegesAreHeldByTheThreadAndGiveBackItsOwnToken) {
  HANDLE raw = nullptr;
  EXPECT_FALSE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &raw));
  {
    BackupPrivileges privileges;
    ASSERT_TRUE(privileges.Held()) << privileges.Error();
    ASSERT_TRUE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &raw));
    UniqueHandle token(raw);
    PRIVILEGE_SET wanted{1, PRIVILEGE_SET_ALL_NECESSARY, {}};
    ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, L"SeRestorePrivilege", &wanted.Privilege[0].Luid));
    BOOL enabled = FALSE;
    ASSERT_TRUE(::PrivilegeCheck(token.get(), &wanted, &enabled));
    EXPECT_TRUE(enabled);
  }
  raw = nullptr;
  EXPECT_FALSE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &raw));
  if (raw) ::CloseHandle(raw);
}

class Win32StoreFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    base_ = std::wstring(temp) + L"zc_takeover_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(base_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* name : {L"\\full\\x", L"\\file", L"\\link", L"\\key", L"\\record"}) {
      ::SetFileAttributesW((base_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW((base_ + name).c_str());
    }
    for (const wchar_t* name : {L"\\locked", L"\\full", L"\\key", L""}) ::RemoveDirectoryW((base_ + name).c_str());
  }
  Text P(const wchar_t* name) const { return FromWide(base_ + name); }
  bool Ours(const wchar_t* name) {
    const std::optional<SecurityFacts> facts = security_.Facts(P(name));
    return facts && OnlyAdministratorsCanChange(*facts);
  }

  std::wstring base_;
  Win32Security security_;
};

TEST_F(Win32StoreFolder, AFolderOpenToEveryoneIsTakenOverAndAFileOnlyWithOneLink) {
  ASSERT_TRUE(::CreateDirectoryW((base_ + L"\\locked").c_str(), nullptr));
  SetDacl(base_ + L"\\locked", L"D:(D;;FA;;;BA)(A;OICI;FA;;;WD)");
  EXPECT_FALSE(Ours(L"\\locked"));
  ASSERT_TRUE(security_.ProtectFolder(P(L"\\locked")));
  EXPECT_TRUE(Ours(L"\\locked"));

  WriteFileBytes(base_ + L"\\file", "user's");
  SetDacl(base_ + L"\\file", L"D:(A;;FA;;;WD)");
  EXPECT_FALSE(Ours(L"\\file"));
  EXPECT_FALSE(security_.ProtectFolder(P(L"\\file")));  // not a folder
  ASSERT_TRUE(::CreateHardLinkW((base_ + L"\\link").c_str(), (base_ + L"\\file").c_str(), nullptr));
  EXPECT_FALSE(security_.ProtectFile(P(L"\\file")));
  ASSERT_TRUE(::DeleteFileW((base_ + L"\\link").c_str()));
  ASSERT_TRUE(security_.ProtectFile(P(L"\\file")));
  EXPECT_TRUE(Ours(L"\\file"));
  EXPECT_FALSE(security_.ProtectFile(P(L"\\locked")));  // not a file
}

TEST_F(Win32StoreFolder, TheKeysPlaceIsClearedOfAnEmptyFolderButNotOfOneWithSomethingInside) {
  ASSERT_TRUE(::CreateDirectoryW((base_ + L"\\key").c_str(), nullptr));
  ASSERT_TRUE(security_.CreateSecretFile(P(L"\\key"), "secret"));
  EXPECT_EQ(::GetFileAttributesW((base_ + L"\\key").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  Win32RestoreFiles files;
  EXPECT_EQ(files.ReadWholeFile(P(L"\\key")), std::optional<std::string>("secret"));

  ASSERT_TRUE(::CreateDirectoryW((base_ + L"\\full").c_str(), nullptr));
  WriteFileBytes(base_ + L"\\full\\x", "x");
  EXPECT_FALSE(security_.CreateSecretFile(P(L"\\full"), "secret"));
  EXPECT_NE(::GetFileAttributesW((base_ + L"\\full\\x").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32StoreFolder, ARecordIsReadNoFurtherThanAsked) {
  WriteFileBytes(base_ + L"\\record", std::string(3000, 'r'));
  Win32RestoreFiles files;
  EXPECT_EQ(files.ReadFileStart(P(L"\\record"), 1025), std::optional<std::string>(std::string(1025, 'r')));
  EXPECT_EQ(files.ReadFileStart(P(L"\\record"), 5000), std::optional<std::string>(std::string(3000, 'r')));
  EXPECT_EQ(files.ReadFileStart(P(L"\\missing"), 10), std::nullopt);
}

}  // namespace
}  // namespace zc::win
