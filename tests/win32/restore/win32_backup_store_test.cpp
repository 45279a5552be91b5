// The security adapter and the one-handle copy on the real machine layer. Wine keeps no
// security descriptor of its own for a file: it shows the Unix owner as the process's
// user and turns the Unix mode bits into the DACL (and a DACL it is given into mode
// bits). So what can be seen here is the mode: a folder opened to everyone reads back
// with a write entry for everyone, and taking it over closes it again. Owners,
// protected DACLs and junctions are left to the fakes.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "core/restore/backup_store.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_file_hash.h"
#include "win32/machine/win32_restore_files.h"
#include "win32/machine/win32_security.h"

namespace zc::win {
namespace {

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadBytes(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<none>";
  std::string bytes(4096, '\0');
  DWORD read = 0;
  ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// Everyone full control, as a folder made by hand may have it.
void OpenToEveryone(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
  UniqueLocalMemory owned(descriptor);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  ASSERT_EQ(::SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, dacl, nullptr),
            DWORD{ERROR_SUCCESS});
}

class Win32BackupStore : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    base_ = std::wstring(temp) + L"zc_store_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(base_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* name : {L"\\f\\copy", L"\\f\\back", L"\\f\\link", L"\\key", L"\\copy", L"\\link", L"\\own\\key"}) {
      ::SetFileAttributesW((base_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW((base_ + name).c_str());
    }
    for (const wchar_t* name : {L"\\f", L"\\open", L"\\own", L""}) ::RemoveDirectoryW((base_ + name).c_str());
  }
  Text P(const wchar_t* name) const { return FromWide(base_ + name); }

  std::wstring base_;
  Win32Security security_;
  Win32RestoreFiles files_;
};

TEST_F(Win32BackupStore, AProtectedFolderReadsBackAsOnlyOurs) {
  ASSERT_TRUE(security_.CreateProtectedFolder(P(L"\\f")));
  EXPECT_FALSE(security_.CreateProtectedFolder(P(L"\\f")));  // never over an existing one
  const std::optional<SecurityFacts> facts = security_.Facts(P(L"\\f"));
  ASSERT_TRUE(facts);
  EXPECT_TRUE(facts->folder);
  EXPECT_FALSE(facts->reparsePoint);
  EXPECT_TRUE(OnlyAdministratorsCanChange(*facts));
  EXPECT_FALSE(security_.Facts(P(L"\\missing")));
}

TEST_F(Win32BackupStore, AFolderOpenToEveryoneIsNotOursUntilTakenOver) {
  ASSERT_TRUE(::CreateDirectoryW((base_ + L"\\open").c_str(), nullptr));
  OpenToEveryone(base_ + L"\\open");
  std::optional<SecurityFacts> facts = security_.Facts(P(L"\\open"));
  ASSERT_TRUE(facts);
  EXPECT_FALSE(OnlyAdministratorsCanChange(*facts));
  ASSERT_TRUE(security_.ProtectFolder(P(L"\\open")));
  facts = security_.Facts(P(L"\\open"));
  ASSERT_TRUE(facts);
  EXPECT_TRUE(OnlyAdministratorsCanChange(*facts));
}

TEST_F(Win32BackupStore, TheSecretFileIsMadeAnewAndASecondLinkShows) {
  ASSERT_TRUE(security_.CreateSecretFile(P(L"\\key"), "first"));
  ASSERT_TRUE(security_.CreateSecretFile(P(L"\\key"), "second"));  // replaces what was there
  EXPECT_EQ(ReadBytes(base_ + L"\\key"), "second");
  std::optional<SecurityFacts> facts = security_.Facts(P(L"\\key"));
  ASSERT_TRUE(facts);
  EXPECT_FALSE(facts->folder);
  EXPECT_EQ(facts->links, 1u);
  EXPECT_TRUE(OnlyAdministratorsCanChange(*facts));
  ASSERT_TRUE(::CreateHardLinkW((base_ + L"\\link").c_str(), (base_ + L"\\key").c_str(), nullptr));
  facts = security_.Facts(P(L"\\key"));
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->links, 2u);
  EXPECT_FALSE(OnlyAdministratorsCanChange(*facts));
  EXPECT_EQ(security_.RandomBytes(32).size(), 32u);
  EXPECT_NE(security_.RandomBytes(32), security_.RandomBytes(32));
}

// A standard user's own store item: made once, never over what is there, readable
// back as the running account's own (a test build reads that account as Administrators,
// so the store's rule for its own keeper is what can be seen here).
TEST_F(Win32BackupStore, APrivateFolderAndFileAreMadeOnceAndReadBackAsTheOwnStoresOwn) {
  ASSERT_TRUE(security_.CreatePrivateFolder(P(L"\\own")));
  EXPECT_FALSE(security_.CreatePrivateFolder(P(L"\\own")));
  ASSERT_TRUE(security_.CreatePrivateFile(P(L"\\own\\key"), "sealing"));
  EXPECT_FALSE(security_.CreatePrivateFile(P(L"\\own\\key"), "other"));  // never over what is there
  EXPECT_EQ(ReadBytes(base_ + L"\\own\\key"), "sealing");
  for (const wchar_t* name : {L"\\own", L"\\own\\key"}) {
    const std::optional<SecurityFacts> facts = security_.Facts(P(name));
    ASSERT_TRUE(facts);
    EXPECT_TRUE(OnlyKeepersCanChange(*facts, StoreKeeper::OwnAccount));
  }
}

TEST_F(Win32BackupStore, TheCopyGoesBackOnlyAsRecordedFromOneHandleIntoANewFile) {
  ASSERT_TRUE(::CreateDirectoryW((base_ + L"\\f").c_str(), nullptr));
  const std::wstring back = base_ + L"\\f\\back";
  WriteFileBytes(back, "MZ the program");
  Win32FileHash hashes;
  const std::optional<FileDigest> digest = hashes.Digest(FromWide(back));
  ASSERT_TRUE(digest);

  // A same-length change is found by the digest on the handle.
  WriteFileBytes(back, "MZ the Program");
  EXPECT_FALSE(files_.CopyUnchangedCopy(FromWide(back), P(L"\\copy"), *digest));
  EXPECT_EQ(::GetFileAttributesW((base_ + L"\\copy").c_str()), INVALID_FILE_ATTRIBUTES);
  WriteFileBytes(back, "MZ the program");

  // While someone holds it open for writing it cannot be taken.
  {
    UniqueFile writer(::CreateFileW(back.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_FALSE(files_.CopyUnchangedCopy(FromWide(back), P(L"\\copy"), *digest));
  }
  // A copy with a second link could be changed through the other name.
  ASSERT_TRUE(::CreateHardLinkW((base_ + L"\\f\\link").c_str(), back.c_str(), nullptr));
  EXPECT_FALSE(files_.CopyUnchangedCopy(FromWide(back), P(L"\\copy"), *digest));
  ASSERT_TRUE(::DeleteFileW((base_ + L"\\f\\link").c_str()));

  ASSERT_TRUE(files_.CopyUnchangedCopy(FromWide(back), P(L"\\copy"), *digest));
  EXPECT_EQ(ReadBytes(base_ + L"\\copy"), "MZ the program");
  // Never over anything.
  WriteFileBytes(base_ + L"\\f\\copy", "mine");
  EXPECT_FALSE(files_.CopyUnchangedCopy(FromWide(back), P(L"\\f\\copy"), *digest));
  EXPECT_EQ(ReadBytes(base_ + L"\\f\\copy"), "mine");
  EXPECT_EQ(files_.FileSize(FromWide(back)), std::optional<int64_t>(14));
}

}  // namespace
}  // namespace zc::win
