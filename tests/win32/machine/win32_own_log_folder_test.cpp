// The own error log's folder on the real system: the local application data folder is
// known, a folder is made once and found again, and a file at its path is no folder.

#include "win32/machine/win32_own_log_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

TEST(Win32OwnLogFolderTest, MakesTheFolderOnceAndRefusesAFileInItsPlace) {
  Win32OwnLogFolder folders;
  const Text local = folders.LocalAppDataFolder();
  ASSERT_FALSE(local.empty());
  EXPECT_NE(local.back(), u'\\');

  const Text folder = local + u"\\zc_own_log_test_폴더";
  const Text file = local + u"\\zc_own_log_test_file";
  ::RemoveDirectoryW(ToWide(folder).c_str());
  ::DeleteFileW(ToWide(file).c_str());

  EXPECT_EQ(folders.MakeFolder(folder), SystemError::None);
  EXPECT_EQ(folders.MakeFolder(folder), SystemError::None);  // there already
  const DWORD attributes = ::GetFileAttributesW(ToWide(folder).c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);

  HANDLE made = ::CreateFileW(ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  ASSERT_NE(made, INVALID_HANDLE_VALUE);
  ::CloseHandle(made);
  EXPECT_NE(folders.MakeFolder(file), SystemError::None);

  EXPECT_EQ(folders.MakeFolder(local + u"\\zc_no_such_parent\\below"), SystemError::PathNotFound);
  ::RemoveDirectoryW(ToWide(folder).c_str());
  ::DeleteFileW(ToWide(file).c_str());
}

}  // namespace
}  // namespace zc::win
