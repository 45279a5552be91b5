// File protection and signatures as the machine reports them. Wine protects none of its
// files and signs none; the build signs a copy of the helper program with its
// development certificate.
#include "win32/trust/win32_file_trust.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"
#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

Text NextToTest(const wchar_t* name) {
  wchar_t own[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  std::wstring folder(own, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return FromWide(folder + name);
}

bool Exists(TextView path) { return ::GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<char> ReadAll(TextView path) {
  std::ifstream in(std::filesystem::path(ToWide(path)), std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(TextView path, const std::vector<char>& bytes) {
  std::ofstream out(std::filesystem::path(ToWide(path)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A file of the test's own in the temporary folder, deleted at the end.
class TemporaryFile {
 public:
  explicit TemporaryFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    path_ = FromWide(std::wstring(folder) + L"zc_trust_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + name);
  }
  ~TemporaryFile() { ::DeleteFileW(ToWide(path_).c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const Text& path() const { return path_; }

 private:
  Text path_;
};

TEST(Win32FileTrustTest, WindowsOwnHostProgramsReadAsTheMachineKeepsThem) {
  Win32FileTrust trust;
  const Text system = SystemFolder();
  ASSERT_FALSE(system.empty());
  int examined = 0;
  for (const char16_t* name : {u"rundll32.exe", u"cmd.exe", u"wscript.exe", u"regsvr32.exe"}) {
    const Text path = system + u"\\" + name;
    if (!Exists(path)) continue;
    SCOPED_TRACE(ToUtf8(path));
    ++examined;
    const FileTrust found = trust.Examine(path);
    if (RunningUnderWine()) {
      // Wine neither protects nor signs its programs.
      EXPECT_FALSE(found.protectedBySystem);
      EXPECT_EQ(found.signer, FileSigner::None);
    } else {
      EXPECT_TRUE(found.IsWindows());
      EXPECT_EQ(found.signer, FileSigner::Microsoft);
    }
  }
  EXPECT_GE(examined, 2);
}

TEST(Win32FileTrustTest, MissingUnsignedAndNonProgramFilesReadAsUnsignedAndUnprotected) {
  TemporaryFile text(L"notes.txt");
  ASSERT_TRUE(WriteAll(text.path(), {'n', 'o', 't', 'e', 's'}));
  TemporaryFile missing(L"missing.dll");
  wchar_t own[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, own, MAX_PATH), 0u);

  Win32FileTrust trust;
  for (const Text& path : {missing.path(), FromWide(own), text.path(), Text()}) {
    SCOPED_TRACE(ToUtf8(path));
    const FileTrust found = trust.Examine(path);
    EXPECT_FALSE(found.protectedBySystem);
    EXPECT_EQ(found.signer, FileSigner::None);
    EXPECT_EQ(found.publisher, u"");
  }
}

TEST(Win32FileTrustTest, AProgramWeSignIsNeverMicrosoftsAndTamperedReadsUnsigned) {
  const Text signedCopy = NextToTest(L"signed_child.exe");
  if (!Exists(signedCopy)) GTEST_SKIP() << "no signing tool in this build";

  Win32FileTrust trust;
  // The development root is not among the machine's: Windows answers None; Wine,
  // which checks no root for a program's signature, answers Other (measured). Never
  // Microsoft, whatever the name on the certificate.
  const FileTrust found = trust.Examine(signedCopy);
  EXPECT_NE(found.signer, FileSigner::Microsoft);
  EXPECT_FALSE(found.IsWindows());
  if (found.signer == FileSigner::Other) {
    EXPECT_EQ(found.publisher, u"ZombieCure Development Code Signing");
  } else {
    EXPECT_EQ(found.publisher, u"");
  }
  if (RunningUnderWine()) {
    EXPECT_EQ(found.signer, FileSigner::Other);
  }

  // One changed byte in the program's code: the signature no longer covers the file.
  TemporaryFile tampered(L"tampered.exe");
  std::vector<char> bytes = ReadAll(signedCopy);
  ASSERT_GT(bytes.size(), 0x1000u);
  bytes[0x600] = static_cast<char>(bytes[0x600] ^ 0x5A);
  ASSERT_TRUE(WriteAll(tampered.path(), bytes));
  const FileTrust broken = trust.Examine(tampered.path());
  EXPECT_EQ(broken.signer, FileSigner::None);
  EXPECT_EQ(broken.publisher, u"");
}

}  // namespace
}  // namespace zc::win
