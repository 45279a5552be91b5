#include "win32/machine/win32_pinned_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/platform/file_api.h"
#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_file_hash.h"

namespace zc::win {
namespace {

using testing::ChildCommand;
using testing::PathNextToTest;
using testing::StartHidden;

constexpr uint32_t kPlaceholder = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

std::wstring Literal(const std::wstring& path) { return L"\\\\?\\" + path; }

void MakeFile(const std::wstring& path, const std::string& content) {
  UniqueFile file(::CreateFileW(Literal(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

std::string ContentOf(const std::wstring& path) {
  UniqueFile file(
      ::CreateFileW(Literal(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<none>";
  std::string content(4096, '\0');
  DWORD read = 0;
  ::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
  content.resize(read);
  return content;
}

DWORD AttributesOf(const std::wstring& path) { return ::GetFileAttributesW(Literal(path).c_str()); }

// Removes a folder with everything in it, however deep and whatever the attributes.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  UniqueFind listing(::FindFirstFileW(Literal(folder + L"\\*").c_str(), &found));
  if (listing) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring inside = folder + L"\\" + name;
      ::SetFileAttributesW(Literal(inside).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(inside);
      } else {
        ::DeleteFileW(Literal(inside).c_str());
      }
    } while (::FindNextFileW(listing.get(), &found));
  }
  ::SetFileAttributesW(Literal(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(Literal(folder).c_str());
}

class Win32SuspectFilesTest : public ::testing::Test {
 protected:
  Win32SuspectFilesTest() {
    ::CreateDirectoryW(bot.c_str(), nullptr);
    ::CreateDirectoryW(store.c_str(), nullptr);
  }
  ~Win32SuspectFilesTest() override { RemoveTree(base); }

  std::unique_ptr<SuspectFile> Open(const std::wstring& path, SystemError& error) {
    return suspects.Open(FromWide(path), error);
  }

  testing::TemporaryFolder folder;
  const std::wstring base = ToWide(FromAnsi(folder.path()));
  const std::wstring bot = base + L"\\bot";
  const std::wstring store = base + L"\\store";
  Win32SuspectFiles suspects;
};

TEST_F(Win32SuspectFilesTest, EveryStepActsThroughTheOneOpening) {
  const std::wstring file = bot + L"\\bot.exe";
  MakeFile(file, "MZ bot body");
  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  SystemError error = SystemError::AccessDenied;
  const auto opened = Open(file, error);
  ASSERT_TRUE(opened);
  EXPECT_EQ(error, SystemError::None);
  ASSERT_TRUE(opened->HoldsFile());
  EXPECT_EQ(opened->Length(), 11);

  const std::optional<FileDigest> digest = opened->Hash();
  ASSERT_TRUE(digest);
  EXPECT_EQ(digest->length, 11);
  Win32FileHash byPath;
  EXPECT_EQ(digest->sha256, byPath.Digest(FromWide(file))->sha256);
  EXPECT_EQ(opened->Hash()->sha256, digest->sha256);  // read from the start again

  EXPECT_EQ(opened->CopyTo(FromWide(store + L"\\bot.exe")), SystemError::None);
  EXPECT_EQ(ContentOf(store + L"\\bot.exe"), "MZ bot body");
  // A copy never replaces, and goes only into an existing folder.
  EXPECT_EQ(opened->CopyTo(FromWide(store + L"\\bot.exe")), SystemError::AlreadyExists);
  EXPECT_EQ(opened->CopyTo(FromWide(store + L"\\missing\\bot.exe")), SystemError::PathNotFound);

  EXPECT_EQ(opened->ClearAttributes(), SystemError::None);
  EXPECT_EQ(AttributesOf(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));  // the delete takes it anyway
  EXPECT_FALSE(opened->NameIsFree());
  EXPECT_EQ(opened->MakePlaceholderFolder(kPlaceholder), SystemError::AlreadyExists);

  EXPECT_EQ(opened->Delete(), SystemError::None);
  EXPECT_FALSE(opened->HoldsFile());
  EXPECT_TRUE(opened->NameIsFree());
  EXPECT_EQ(AttributesOf(file), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(opened->Delete(), SystemError::FileNotFound);

  EXPECT_EQ(opened->MakePlaceholderFolder(kPlaceholder), SystemError::None);
  EXPECT_EQ(AttributesOf(file) & 0x16u, 0x16u);  // Wine keeps no read-only bit on folders
  EXPECT_EQ(opened->MakePlaceholderFolder(kPlaceholder), SystemError::AlreadyExists);
}

// While an opening lives, neither the file's folder nor one above it can be renamed
// away (to put a junction in its place); afterwards they can.
TEST_F(Win32SuspectFilesTest, TheFoldersAboveAreHeldWhileTheFileIsOpen) {
  const std::wstring file = bot + L"\\bot.exe";
  MakeFile(file, "MZ");
  SystemError error = SystemError::None;
  {
    const auto opened = Open(file, error);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(::MoveFileExW(bot.c_str(), (base + L"\\moved").c_str(), 0));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(::MoveFileExW(base.c_str(), (base + L".moved").c_str(), 0));
    // The file itself stays open to everyone: the bot's own process is not disturbed.
    UniqueFile reader(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader);
  }
  EXPECT_TRUE(::MoveFileExW(bot.c_str(), (base + L"\\moved").c_str(), 0));
}

TEST_F(Win32SuspectFilesTest, ARunningImageIsRenamedIntoTheStore) {
  const std::wstring image = bot + L"\\child.exe";
  ASSERT_TRUE(::CopyFileW(ToWide(FromAnsi(PathNextToTest("machine_child.exe"))).c_str(), image.c_str(), FALSE));
  std::string command(1, '"');
  command.append(ToAnsiExactly(FromWide(image)).value()).append("\" sleep 20000");
  auto child = StartHidden(command);
  ASSERT_TRUE(child.process);
  ::Sleep(300);

  SystemError error = SystemError::None;
  const auto opened = Open(image, error);
  ASSERT_TRUE(opened) << static_cast<uint32_t>(error);
  EXPECT_EQ(opened->CopyTo(FromWide(store + L"\\child.exe")), SystemError::None);
  EXPECT_EQ(opened->Delete(), SystemError::AccessDenied);  // a mapped image
  EXPECT_TRUE(opened->HoldsFile());
  EXPECT_EQ(opened->MoveTo(FromWide(store + L"\\child.exe")), SystemError::AlreadyExists);
  EXPECT_EQ(opened->MoveTo(FromWide(store + L"\\child (2).exe")), SystemError::None);
  EXPECT_FALSE(opened->HoldsFile());
  EXPECT_TRUE(opened->NameIsFree());
  EXPECT_NE(AttributesOf(store + L"\\child (2).exe"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(opened->MakePlaceholderFolder(kPlaceholder), SystemError::None);
  EXPECT_NE(AttributesOf(image) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  ::TerminateProcess(child.process.get(), 0);
  EXPECT_TRUE(testing::EndsWithin(child.process.get(), 5000));
}

// The same file reached through another drive letter is not at the path the evidence
// named: Z: shows the host's root, so the prefix's own C: is also under Z:.
TEST_F(Win32SuspectFilesTest, APathThatLeadsElsewhereIsRefused) {
  const std::wstring file = bot + L"\\bot.exe";
  MakeFile(file, "MZ");
  SystemError error = SystemError::None;

  wchar_t prefix[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) > 0 && base.size() > 3 && base[0] == L'C') {
    std::wstring throughZ = std::wstring(L"Z:") + prefix + L"/drive_c/" + file.substr(3);
    for (wchar_t& c : throughZ) {
      if (c == L'/') c = L'\\';
    }
    ASSERT_NE(AttributesOf(throughZ), INVALID_FILE_ATTRIBUTES) << FromWide(throughZ).size();
    EXPECT_EQ(Open(throughZ, error), nullptr);
    EXPECT_EQ(error, SystemError::Redirected);
  }

  // A drive substituted for the bot's folder (Wine defines one but cannot open a file
  // through it: measured error 3).
  if (::DefineDosDeviceW(0, L"Q:", bot.c_str())) {
    if (AttributesOf(L"Q:\\bot.exe") != INVALID_FILE_ATTRIBUTES) {
      EXPECT_EQ(Open(L"Q:\\bot.exe", error), nullptr);
      EXPECT_EQ(error, SystemError::Redirected);
    }
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, L"Q:", bot.c_str());
  }

  // Short names, other letter case and "." name the same file.
  wchar_t shortPath[MAX_PATH] = {};
  MakeFile(bot + L"\\a long file name.exe", "MZ");
  ASSERT_GT(::GetShortPathNameW((bot + L"\\a long file name.exe").c_str(), shortPath, MAX_PATH), 0u);
  EXPECT_TRUE(Open(shortPath, error)) << static_cast<uint32_t>(error);
  EXPECT_TRUE(Open(bot + L"\\.\\BOT.EXE", error)) << static_cast<uint32_t>(error);
}

TEST_F(Win32SuspectFilesTest, WhatCannotBeOpenedAsTheFileItself) {
  MakeFile(bot + L"\\locked.exe", "MZ");
  UniqueFile holder(::CreateFileW((bot + L"\\locked.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  SystemError error = SystemError::None;
  EXPECT_EQ(Open(bot + L"\\locked.exe", error), nullptr);
  EXPECT_EQ(error, SystemError::SharingViolation);
  EXPECT_EQ(Open(bot, error), nullptr);  // a folder
  EXPECT_NE(error, SystemError::None);
  EXPECT_EQ(Open(bot + L"\\nowhere\\bot.exe", error), nullptr);
  EXPECT_EQ(error, SystemError::PathNotFound);
  EXPECT_EQ(Open(L"bot.exe", error), nullptr);  // not a full path
  EXPECT_EQ(error, SystemError::PathNotFound);

  // Nothing at the path: only the folder is held, for the placeholder.
  const auto missing = Open(bot + L"\\gone.exe", error);
  ASSERT_TRUE(missing);
  EXPECT_FALSE(missing->HoldsFile());
  EXPECT_EQ(missing->Length(), std::nullopt);
  EXPECT_EQ(missing->CopyTo(FromWide(store + L"\\gone.exe")), SystemError::FileNotFound);
  EXPECT_TRUE(missing->NameIsFree());
  EXPECT_EQ(missing->MakePlaceholderFolder(kPlaceholder), SystemError::None);
}

// Past the classic 260 characters and outside the ANSI code page.
TEST_F(Win32SuspectFilesTest, LongPathsAndNamesOutsideTheCodePage) {
  std::wstring deep = bot;
  for (int i = 0; i < 6; ++i) {
    deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    ASSERT_TRUE(::CreateDirectoryW(Literal(deep).c_str(), nullptr));
  }
  const std::wstring file = deep + L"\\\u0416\u0E01\u00E9.exe";
  MakeFile(file, "MZ deep");
  SystemError error = SystemError::None;
  const auto opened = Open(file, error);
  ASSERT_TRUE(opened) << static_cast<uint32_t>(error);
  EXPECT_EQ(opened->CopyTo(FromWide(deep + L"\\copy.exe")), SystemError::None);
  EXPECT_EQ(ContentOf(deep + L"\\copy.exe"), "MZ deep");
  EXPECT_EQ(opened->Delete(), SystemError::None);
  EXPECT_EQ(opened->MakePlaceholderFolder(kPlaceholder), SystemError::None);
  EXPECT_NE(AttributesOf(file) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace zc::win
