// File protection and signatures as the machine reports them. Wine protects none of its
// files and signs none; the build signs a copy of the helper program with its
// development certificate, whose root the machine trusts only while a test adds it.
#include "win32/trust/win32_file_trust.h"

#include <windows.h>
#include <wincrypt.h>

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

// The development certificate in the machine's trusted roots while it lives.
class TrustedRoot {
 public:
  explicit TrustedRoot(TextView pemPath) {
    std::vector<char> pem = ReadAll(pemPath);
    pem.push_back('\0');
    DWORD size = 0;
    if (!::CryptStringToBinaryA(pem.data(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return;
    std::vector<BYTE> der(size);
    if (!::CryptStringToBinaryA(pem.data(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) return;
    store_ = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (store_ == nullptr) return;
    ::CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_REPLACE_EXISTING,
                                       &added_);
  }
  ~TrustedRoot() {
    if (added_ != nullptr) ::CertDeleteCertificateFromStore(added_);  // frees the context too
    if (store_ != nullptr) ::CertCloseStore(store_, 0);
  }
  TrustedRoot(const TrustedRoot&) = delete;
  TrustedRoot& operator=(const TrustedRoot&) = delete;
  bool added() const { return added_ != nullptr; }

 private:
  HCERTSTORE store_ = nullptr;
  PCCERT_CONTEXT added_ = nullptr;
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

TEST(Win32FileTrustTest, AProgramWeSignIsAnotherPublishersOnceItsRootIsTrustedAndNeverMicrosofts) {
  const Text signedCopy = NextToTest(L"signed_child.exe");
  const Text root = NextToTest(L"signing_root.crt");
  if (!Exists(signedCopy) || !Exists(root)) GTEST_SKIP() << "no signing tool in this build";

  Win32FileTrust trust;
  // An untrusted root: whatever the machine answers, never Microsoft.
  const FileTrust untrusted = trust.Examine(signedCopy);
  EXPECT_NE(untrusted.signer, FileSigner::Microsoft);
  EXPECT_FALSE(untrusted.IsWindows());

  TrustedRoot trusted(root);
  ASSERT_TRUE(trusted.added());
  const FileTrust other = trust.Examine(signedCopy);
  EXPECT_EQ(other.signer, FileSigner::Other);
  EXPECT_EQ(other.publisher, u"ZombieCure Development Code Signing");
  EXPECT_FALSE(other.IsWindows());

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
