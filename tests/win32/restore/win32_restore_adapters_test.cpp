// The adapters behind the treatment record and the restore, on the real machine layer:
// SHA-256 through the platform's cryptography, registry values of every type read and
// written back byte for byte, a service's configuration read from the service manager
// and created again from it, and the record's file operations.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/base/ansi.h"
#include "win32/machine/win32_file_hash.h"
#include "win32/machine/win32_raw_registry.h"
#include "win32/machine/win32_restore_files.h"
#include "win32/machine/win32_service_manager.h"

namespace zc::win {
namespace {

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);

std::wstring Id() { return std::to_wstring(::GetCurrentProcessId()); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::vector<uint8_t> Stored(HKEY key, const wchar_t* name) {
  DWORD size = 0;
  if (::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {0xEE};
  std::vector<uint8_t> data(size);
  ::RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size);
  data.resize(size);
  return data;
}

void ExpectSameConfig(const ServiceConfig& read, const ServiceConfig& expected) {
  EXPECT_EQ(ToUtf8(read.name), ToUtf8(expected.name));
  EXPECT_EQ(ToUtf8(read.displayName), ToUtf8(expected.displayName));
  EXPECT_EQ(ToUtf8(read.imagePath), ToUtf8(expected.imagePath));
  EXPECT_EQ(read.serviceType, expected.serviceType);
  EXPECT_EQ(read.startType, expected.startType);
  EXPECT_EQ(read.errorControl, expected.errorControl);
  EXPECT_EQ(ToUtf8(read.loadOrderGroup), ToUtf8(expected.loadOrderGroup));
  ASSERT_EQ(read.dependencies.size(), expected.dependencies.size());
  for (size_t i = 0; i < read.dependencies.size(); ++i) {
    EXPECT_EQ(ToUtf8(read.dependencies[i]), ToUtf8(expected.dependencies[i]));
  }
  EXPECT_EQ(ToUtf8(read.account), ToUtf8(expected.account));
  EXPECT_EQ(ToUtf8(read.description), ToUtf8(expected.description));
}

class Win32RestoreAdapters : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = L"C:\\zc복원" + Id();
    ::CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& file : created_) {
      ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(file.c_str());
      ::RemoveDirectoryW(file.c_str());
    }
    ::RemoveDirectoryW(folder_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
  }
  std::wstring File(const std::wstring& name) {
    created_.insert(created_.begin(), folder_ + L"\\" + name);
    return created_.front();
  }

  std::wstring folder_;
  std::wstring key_ = L"Software\\ZcRestoreTest" + Id();
  std::vector<std::wstring> created_;
};

TEST_F(Win32RestoreAdapters, Sha256OfKnownContents) {
  struct Case {
    const char* what;
    std::string content;
    const char* sha256;
  };
  std::string pattern(200000, '\0');  // more than one read piece
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>(i % 251);
  const Case cases[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"200000 bytes", pattern, "e24bc62381f1224fbbb74688663f8f9743b9680b193edd666835e97b06e730eb"},
  };
  Win32FileHash hashes;
  for (const Case& c : cases) {
    const std::wstring path = File(L"해시 " + ToWide(FromUtf8(c.what)) + L".bin");
    WriteFileBytes(path, c.content);
    const std::optional<FileDigest> digest = hashes.Digest(FromWide(path));
    ASSERT_TRUE(digest) << c.what;
    EXPECT_EQ(ToUtf8(digest->sha256), c.sha256) << c.what;
    EXPECT_EQ(digest->length, static_cast<int64_t>(c.content.size())) << c.what;
  }
  EXPECT_FALSE(hashes.Digest(FromWide(folder_ + L"\\missing.bin")));
}

TEST_F(Win32RestoreAdapters, RegistryValuesOfEveryTypeComeBackByteForByte) {
  struct Case {
    const wchar_t* name;
    DWORD type;
    std::vector<uint8_t> data;
  };
  auto utf16 = [](const std::wstring& text, int terminators) {
    std::vector<uint8_t> bytes;
    for (const wchar_t c : text) {
      bytes.push_back(static_cast<uint8_t>(c));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    bytes.insert(bytes.end(), static_cast<size_t>(terminators) * 2, 0);
    return bytes;
  };
  std::vector<uint8_t> large(9000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7);
  const Case cases[] = {
      {L"좀비 텍스트", REG_SZ, utf16(L"C:\\좀비\\a.exe /s", 1)},
      {L"no terminator", REG_SZ, utf16(L"abc", 0)},
      {L"expand", REG_EXPAND_SZ, utf16(L"%SystemRoot%\\x.exe", 1)},
      {L"multi", REG_MULTI_SZ, utf16(std::wstring(L"one\0두울\0", 8), 1)},
      {L"binary", REG_BINARY, {0, 1, 0, 0xFF, '\t', '\n'}},
      {L"large binary", REG_BINARY, large},
      {L"number", REG_DWORD, {4, 0, 0, 0}},
      {L"big endian", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 4}},
      {L"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
      {L"none", REG_NONE, {9, 9}},
      {L"empty", REG_SZ, {}},
  };
  Win32RawRegistry registry;
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(FromWide(c.name)));
    ASSERT_EQ(::RegSetValueExW(key, c.name, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS);
    // What the registry holds (a text stored without its terminator may have gained one).
    const std::vector<uint8_t> before = Stored(key, c.name);
    const std::optional<RawRegistryValue> read = registry.ReadRawValue(kCurrentUser, FromWide(key_), FromWide(c.name));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->type, c.type);
    EXPECT_EQ(read->data, before);

    ASSERT_EQ(::RegDeleteValueW(key, c.name), ERROR_SUCCESS);
    ASSERT_TRUE(registry.WriteRawValue(kCurrentUser, FromWide(key_), FromWide(c.name), *read));
    DWORD type = 0;
    ASSERT_EQ(::RegQueryValueExW(key, c.name, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(Stored(key, c.name), before);
  }
  ::RegCloseKey(key);
  EXPECT_FALSE(registry.ReadRawValue(kCurrentUser, FromWide(key_), u"missing"));
  EXPECT_FALSE(registry.ReadRawValue(kCurrentUser, FromWide(key_) + u"\\missing", u"x"));
}

TEST_F(Win32RestoreAdapters, AServiceIsCreatedAgainFromItsRecordedConfiguration) {
  Win32ServiceManager services;
  ServiceConfig config;
  config.name = u"ZcRestoreSvc" + FromWide(Id());
  config.displayName = u"좀비 복원 시험 서비스";
  config.imagePath = u"\"C:\\zc 복원\\svc.exe\" -run";
  config.serviceType = SERVICE_WIN32_OWN_PROCESS;
  config.startType = SERVICE_DEMAND_START;
  config.errorControl = SERVICE_ERROR_NORMAL;
  // No dependencies: this Wine neither keeps nor reports them (measured), so they could
  // not be checked here.
  config.account = u"LocalSystem";
  config.description = u"복원 시험";
  ASSERT_FALSE(services.Exists(config.name));
  ASSERT_TRUE(services.Create(config));
  EXPECT_TRUE(services.Exists(config.name));
  const std::optional<ServiceConfig> read = services.QueryConfig(config.name);
  ASSERT_TRUE(read);
  ExpectSameConfig(*read, config);
  EXPECT_FALSE(services.Create(config));  // it exists

  // Deleted, then made again from what was read.
  SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = ::OpenServiceW(manager, ToWide(config.name).c_str(), DELETE);
  ASSERT_TRUE(service);
  ASSERT_TRUE(::DeleteService(service));
  ::CloseServiceHandle(service);
  EXPECT_FALSE(services.Exists(config.name));
  EXPECT_FALSE(services.QueryConfig(config.name));
  ASSERT_TRUE(services.Create(*read));
  const std::optional<ServiceConfig> again = services.QueryConfig(config.name);
  ASSERT_TRUE(again);
  ExpectSameConfig(*again, config);

  service = ::OpenServiceW(manager, ToWide(config.name).c_str(), DELETE);
  ::DeleteService(service);
  ::CloseServiceHandle(service);
  ::CloseServiceHandle(manager);
}

TEST_F(Win32RestoreAdapters, RecordFilesAppendReadAndOnlyEmptyFoldersGo) {
  Win32RestoreFiles files;
  const std::wstring record = File(L"복원정보.txt");
  ASSERT_TRUE(files.AppendWhole(FromWide(record), "one\r\n"));
  ASSERT_TRUE(files.AppendWhole(FromWide(record), "둘\r\n"));
  EXPECT_EQ(files.ReadWholeFile(FromWide(record)), std::string("one\r\n둘\r\n"));
  EXPECT_FALSE(files.ReadWholeFile(FromWide(folder_ + L"\\none.txt")));

  const std::wstring placeholder = File(L"자리.exe");
  ASSERT_TRUE(::CreateDirectoryW(placeholder.c_str(), nullptr));
  ASSERT_TRUE(files.SetAttributes(FromWide(placeholder), 7));
  const std::optional<uint32_t> attributes = files.Attributes(FromWide(placeholder));
  ASSERT_TRUE(attributes);
  EXPECT_EQ(*attributes & 0x16u, 0x16u);
  EXPECT_TRUE(files.IsEmptyFolder(FromWide(placeholder)));
  EXPECT_FALSE(files.IsEmptyFolder(FromWide(record)));
  EXPECT_FALSE(files.IsEmptyFolder(FromWide(folder_)));  // it holds files
  EXPECT_FALSE(files.RemoveEmptyFolder(FromWide(folder_)));
  const std::vector<Text> folders = files.ListFolders(FromWide(folder_));
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0], u"자리.exe");

  files.SetAttributes(FromWide(placeholder), 0);
  EXPECT_TRUE(files.RemoveEmptyFolder(FromWide(placeholder)));
  ASSERT_TRUE(files.CopyWithoutReplacing(FromWide(record), FromWide(placeholder)));
  EXPECT_FALSE(files.CopyWithoutReplacing(FromWide(record), FromWide(placeholder)));  // never replaces
}

}  // namespace
}  // namespace zc::win
