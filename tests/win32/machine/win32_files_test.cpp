#include "win32/machine/win32_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "tests/win32/machine/child_process.h"
#include "tests/win32/base/ansi_of.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

using testing::TemporaryFolder;

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

class Win32FilesTest : public ::testing::Test {
 protected:
  TemporaryFolder folder;
  Win32Files files;
  Text At(const std::string& name) { return FromAnsi(folder / name); }
};

TEST_F(Win32FilesTest, CopyOverwritesAndLengthsAreMeasured) {
  WriteFile(folder / "a.exe", "MZ-original");
  WriteFile(folder / "b.exe", "old");
  EXPECT_TRUE(files.CopyFileTo(At("a.exe"), At("b.exe")));
  EXPECT_EQ(files.FileLength(At("b.exe")), 11);
  EXPECT_FALSE(files.CopyFileTo(At("missing.exe"), At("c.exe")));

  WriteFile(folder / "empty.exe", "");
  EXPECT_EQ(files.FileLength(At("empty.exe")), 0);
  EXPECT_EQ(files.FileLength(At("missing.exe")), std::nullopt);
  EXPECT_EQ(files.FileLength(FromAnsi(folder.path())), std::nullopt);
  EXPECT_EQ(files.FileLength(At("bad|name")), std::nullopt);
}

TEST_F(Win32FilesTest, EachStepAnswersWithTheSystemsErrorNumber) {
  constexpr SystemError kNone = SystemError::None;
  WriteFile(folder / "ro.exe", "x");
  ASSERT_EQ(files.SetAttributes(At("ro.exe"), kAttributeReadOnly), kNone);
  EXPECT_EQ(files.RemoveFile(At("ro.exe")), SystemError::AccessDenied);
  EXPECT_FALSE(files.PathIsFree(At("ro.exe")));
  EXPECT_EQ(files.SetAttributes(At("ro.exe"), kAttributeNormal), kNone);
  EXPECT_EQ(::GetFileAttributesA((folder / "ro.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(files.RemoveFile(At("ro.exe")), kNone);
  EXPECT_TRUE(files.PathIsFree(At("ro.exe")));
  EXPECT_EQ(files.RemoveFile(At("ro.exe")), SystemError::FileNotFound);
  EXPECT_EQ(files.SetAttributes(At("ro.exe"), kAttributeNormal), SystemError::FileNotFound);

  // A placeholder folder where the file was.
  EXPECT_EQ(files.CreateFolder(At("ro.exe")), kNone);
  EXPECT_FALSE(files.PathIsFree(At("ro.exe")));
  EXPECT_EQ(files.CreateFolder(At("ro.exe")), SystemError::AlreadyExists);
  EXPECT_EQ(files.CreateFolder(At("no\\such\\parent")), SystemError::PathNotFound);
  EXPECT_EQ(files.SetAttributes(At("ro.exe"), kAttributeReadOnly | kAttributeHidden | kAttributeSystem), kNone);
  const DWORD attributes = ::GetFileAttributesA((folder / "ro.exe").c_str());
  EXPECT_EQ(attributes & 0x16u, 0x16u);  // Wine keeps no read-only bit on folders
  EXPECT_FALSE(files.PathIsFree(u""));
}

TEST_F(Win32FilesTest, AFileIsMovedOnlyToAFreeName) {
  WriteFile(folder / "a.exe", "MZ a");
  WriteFile(folder / "b.exe", "MZ b");
  EXPECT_EQ(files.MoveFileTo(At("a.exe"), At("b.exe")), SystemError::AlreadyExists);
  EXPECT_EQ(files.FileLength(At("b.exe")), 4);
  EXPECT_EQ(files.MoveFileTo(At("a.exe"), At("moved.exe")), SystemError::None);
  EXPECT_TRUE(files.PathIsFree(At("a.exe")));
  EXPECT_EQ(files.FileLength(At("moved.exe")), 4);
  EXPECT_EQ(files.MoveFileTo(At("a.exe"), At("again.exe")), SystemError::FileNotFound);
}

// A path longer than the classic 260 characters, and a name outside the ANSI code page.
TEST_F(Win32FilesTest, LongPathsAndNamesOutsideTheCodePageWork) {
  Text deep = FromAnsi(folder.path());
  for (int i = 0; i < 6; ++i) {
    deep += u"\\" + Text(50, static_cast<char16_t>(u'a' + i));
    ASSERT_EQ(files.CreateFolder(deep), SystemError::None) << deep.size();
  }
  ASSERT_GT(deep.size(), 300u);
  const Text file = deep + u"\\Ж\u0E01\u00E9.exe";  // Cyrillic, Thai, Latin
  const std::wstring wide = L"\\\\?\\" + ToWide(file);
  {
    UniqueFile created(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(created);
    DWORD written = 0;
    ::WriteFile(created.get(), "MZ", 2, &written, nullptr);
  }
  EXPECT_EQ(files.FileLength(file), 2);
  EXPECT_TRUE(files.CopyFileTo(file, deep + u"\\copy.exe"));
  EXPECT_EQ(files.RemoveFile(file), SystemError::None);
  EXPECT_TRUE(files.PathIsFree(file));
  EXPECT_EQ(files.CreateFolder(file), SystemError::None);
  EXPECT_TRUE(files.IsFolder(file));
}

TEST_F(Win32FilesTest, OnlyAVisibleOrdinaryFileExistsAsNormalFile) {
  WriteFile(folder / "plain.exe", "x");
  WriteFile(folder / "hidden.exe", "x");
  WriteFile(folder / "system.exe", "x");
  WriteFile(folder / "readonly.exe", "x");
  files.SetAttributes(At("hidden.exe"), kAttributeHidden);
  files.SetAttributes(At("system.exe"), kAttributeSystem);
  files.SetAttributes(At("readonly.exe"), kAttributeReadOnly);
  files.CreateFolder(At("folder"));

  EXPECT_TRUE(files.ExistsAsNormalFile(At("plain.exe")));
  EXPECT_TRUE(files.ExistsAsNormalFile(At("readonly.exe")));
  EXPECT_FALSE(files.ExistsAsNormalFile(At("hidden.exe")));
  EXPECT_FALSE(files.ExistsAsNormalFile(At("system.exe")));
  EXPECT_FALSE(files.ExistsAsNormalFile(At("folder")));
  EXPECT_FALSE(files.ExistsAsNormalFile(At("missing.exe")));
  EXPECT_FALSE(files.ExistsAsNormalFile(At("*.exe")));       // a pattern names no file
  EXPECT_FALSE(files.ExistsAsNormalFile(At("plai?.exe")));
  EXPECT_FALSE(files.ExistsAsNormalFile(u""));
}

TEST_F(Win32FilesTest, FoldersDrivesAndFilesAreToldApart) {
  WriteFile(folder / "file.exe", "x");
  files.CreateFolder(At("Vendor"));
  files.CreateFolder(At("hidden"));
  files.SetAttributes(At("hidden"), kAttributeHidden | kAttributeSystem);
  struct Case {
    Text path;
    bool folder;
  };
  const Case cases[] = {
      {At("Vendor"), true},
      {At("VENDOR"), true},
      {At("Vendor\\"), true},
      {At("hidden"), true},
      {At("Vendor\\.."), true},
      {FromAnsi(folder.path()), true},
      {u"C:\\", true},
      {u"C:", true},
      {At("file.exe"), false},
      {At("missing"), false},
      {At("missing\\"), false},
      {u"", false},
      {FromUtf8("Q:\\좀비"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(files.IsFolder(c.path), c.folder) << ToUtf8(c.path);
}

TEST_F(Win32FilesTest, KoreanNamesCrossInTheAnsiCodePage) {
  const Text name = FromAnsi(folder.path()) + FromUtf8("\\좀비.exe");
  WriteFile(AnsiOf(name), "abc");
  EXPECT_TRUE(files.ExistsAsNormalFile(name));
  EXPECT_EQ(files.FileLength(name), 3);
  EXPECT_EQ(files.RemoveFile(name), SystemError::None);
}

}  // namespace
}  // namespace zc::win
