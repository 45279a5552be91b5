// The user's folders and entry as the per-user copy's removal sees them on Windows: the
// known folders, what is at a path, a read-only old file deleted, a folder only removed
// when empty, an HKCU key deleted (and a missing one counting as gone).

#include "win32/machine/win32_user_install.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using testing::TemporaryFolder;

TEST(Win32UserInstall, NamesTheUsersFoldersAndTheRunningProgram) {
  Win32UserInstall install;
  const Text local = install.LocalAppDataFolder();
  EXPECT_EQ(install.Inspect(local), PathKind::Folder) << ToUtf8(local);
  EXPECT_NE(FoldCase(install.StartMenuProgramsFolder()).find(u"\\programs"), Text::npos);
  const Text self = install.RunningProgramPath();
  EXPECT_EQ(install.Inspect(self), PathKind::File) << ToUtf8(self);
  EXPECT_NE(FoldCase(self).find(u"win32_machine_tests.exe"), Text::npos) << ToUtf8(self);
}

TEST(Win32UserInstall, RemovesOldFilesAndOnlyAnEmptyFolder) {
  TemporaryFolder folder;
  Win32UserInstall install;
  const Text copy = FromAnsi(folder / "ZombieCure");
  ASSERT_TRUE(::CreateDirectoryW(ToWide(copy).c_str(), nullptr));
  const Text program = copy + u"\\ZombieCure.exe";
  std::ofstream(folder / "ZombieCure\\ZombieCure.exe", std::ios::binary) << "MZ";
  ASSERT_TRUE(::SetFileAttributesW(ToWide(program).c_str(), FILE_ATTRIBUTE_READONLY));
  std::ofstream(folder / "ZombieCure\\notes.txt") << "mine";

  EXPECT_EQ(install.Inspect(copy), PathKind::Folder);
  EXPECT_EQ(install.Inspect(program), PathKind::File);
  EXPECT_EQ(install.Inspect(copy + u"\\missing.exe"), PathKind::Absent);
  EXPECT_EQ(install.Inspect(copy + u"\\missing\\deeper.exe"), PathKind::Absent);

  EXPECT_EQ(install.RemoveFile(program), SystemError::None);  // read-only as the old installer left it
  EXPECT_EQ(install.Inspect(program), PathKind::Absent);
  EXPECT_NE(install.RemoveEmptyFolder(copy), SystemError::None);  // notes.txt is still in it
  EXPECT_EQ(install.Inspect(copy), PathKind::Folder);
  EXPECT_EQ(install.RemoveFile(copy), SystemError::AccessDenied);  // a folder is never a file
  ASSERT_EQ(install.RemoveFile(copy + u"\\notes.txt"), SystemError::None);
  EXPECT_EQ(install.RemoveEmptyFolder(copy), SystemError::None);
  EXPECT_EQ(install.Inspect(copy), PathKind::Absent);
}

TEST(Win32UserInstall, RemovesAnEntryKeyWithItsValues) {
  const wchar_t* key = L"Software\\ZombieCureTest\\Uninstall\\ZombieCure";
  HKEY created = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr),
            ERROR_SUCCESS);
  const wchar_t location[] = L"C:\\x";
  ::RegSetValueExW(created, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location), sizeof location);
  ::RegCloseKey(created);

  Win32UserInstall install;
  EXPECT_EQ(install.RemoveUserKey(u"Software\\ZombieCureTest\\Uninstall\\ZombieCure"), SystemError::None);
  HKEY opened = nullptr;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(install.RemoveUserKey(u"Software\\ZombieCureTest\\Uninstall\\ZombieCure"), SystemError::None);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZombieCureTest");
}

}  // namespace
}  // namespace zc::win
