// A restore brings back exactly what was taken, on the real machine layer: a value of
// HKLM's 32-bit view goes back into that view; a held file whose deletion was queued for
// the restart, restored before it, is taken out of PendingFileRenameOperations (and a
// restart of the prefix, run by restart_after_restore.sh, leaves it in place); a shared
// host's service with a description and a Parameters\ServiceDll value comes back through
// the service manager, every value read back; paths past 260 characters are hashed,
// measured and copied back.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/restore/multi_text.h"
#include "core/restore/restore_runner.h"
#include "core/restore/service_group_list.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/log/win32_activity_log.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {
namespace {

constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);
const wchar_t kQueueKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kQueueValue[] = L"PendingFileRenameOperations";

std::wstring Id() { return std::to_wstring(::GetCurrentProcessId()); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadBytes(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<none>";
  std::string bytes(65536, '\0');
  DWORD read = 0;
  ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// A value as stored, in one view; {0xEE} when it cannot be read.
std::vector<uint8_t> Stored(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view,
                            DWORD* type = nullptr) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return {0xEE};
  DWORD size = 0;
  std::vector<uint8_t> data;
  if (::RegQueryValueExW(opened, name.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    ::RegQueryValueExW(opened, name.c_str(), nullptr, type, data.data(), &size);
    data.resize(size);
  } else {
    data = {0xEE};
  }
  ::RegCloseKey(opened);
  return data;
}

std::vector<Text> QueuedOperations() {
  const std::vector<uint8_t> data = Stored(HKEY_LOCAL_MACHINE, kQueueKey, kQueueValue, KEY_WOW64_64KEY);
  return data == std::vector<uint8_t>{0xEE} ? std::vector<Text>() : MultiTextItems(data);
}

bool Queues(const std::wstring& path) {
  const std::vector<Text> items = QueuedOperations();
  const Text wanted = FoldCase(u"\\??\\" + FromWide(path));
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    if (FoldCase(items[i]) == wanted && items[i + 1].empty()) return true;
  }
  return false;
}

std::vector<uint8_t> Utf16(const std::wstring& text) {
  std::vector<uint8_t> bytes;
  for (const wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE listing = ::FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      ::SetFileAttributesW((L"\\\\?\\" + full).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileW((L"\\\\?\\" + full).c_str());
      }
    } while (::FindNextFileW(listing, &found));
    ::FindClose(listing);
  }
  ::RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

class Win32RestoreExactly : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = L"zc정확 " + Id();
    backup_ = ToWide(texts_.Get(enc::BackupPrefix)) + name_;
    RemoveTree(backup_);
  }
  void TearDown() override { RemoveTree(backup_); }

  void Begin() { ASSERT_TRUE(recorder_.Begin(FromWide(backup_), FromWide(name_), u"reg Infection")); }
  RestoreOutcome Restore() { return runner_.Restore(FromWide(backup_)); }
  static std::string First(const RestoreOutcome& outcome) {
    return outcome.problems.empty() ? std::string() : ToUtf8(outcome.problems.front());
  }

  SilentFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  Win32ActivityLog log_;
  RestoreMachine machine_;
  TreatmentRecorder recorder_{machine_.ForRecording(texts_)};
  // Every restore lists its steps first and waits for a yes: the administrator says yes.
  struct AnswersYes : StepConfirmation {
    bool Confirm(TextView) override { return true; }
  } confirm_;
  RestoreRunner runner_{machine_.ForRestore(texts_, log_, confirm_), RestoreRunner::TreatmentLimits(texts_)};
  std::wstring name_, backup_;
};

TEST_F(Win32RestoreExactly, AValueOfThe32BitViewIsRecordedAndRestoredIntoThatView) {
  const std::wstring run = ToWide(texts_.Get(enc::InfectionKeyPath));
  const std::wstring value = L"Zc 32비트 " + Id();
  const std::vector<uint8_t> data = Utf16(L"C:\\zc\\32비트.exe /자동");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, run.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExW(key, value.c_str(), 0, REG_SZ, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  // The two views are apart here as on Windows: the native view does not see it.
  ASSERT_EQ(Stored(HKEY_LOCAL_MACHINE, run, value, KEY_WOW64_64KEY), std::vector<uint8_t>{0xEE});

  Begin();
  recorder_.RegistryValue(kLocalMachine, RegistryView::Wow32, FromWide(run), FromWide(value));
  ASSERT_EQ(::RegDeleteValueW(key, value.c_str()), ERROR_SUCCESS);
  ::RegCloseKey(key);

  const RestoreOutcome outcome = Restore();
  EXPECT_TRUE(outcome.Succeeded()) << First(outcome);
  DWORD type = 0;
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, run, value, KEY_WOW64_32KEY, &type), data);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, run, value, KEY_WOW64_64KEY), std::vector<uint8_t>{0xEE});

  ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, run.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key);
  ::RegDeleteValueW(key, value.c_str());
  ::RegCloseKey(key);
}

// The file stays at its place (restart_after_restore.sh restarts the prefix and looks).
TEST_F(Win32RestoreExactly, AHeldFileQueuedForDeletionAtRestartIsTakenOutOfTheQueue) {
  const std::wstring folder = L"C:\\zc 보류 " + Id();
  const std::wstring path = folder + L"\\보류.exe";
  const std::string content = "MZ held " + std::string(5000, 'h');
  ::CreateDirectoryW(folder.c_str(), nullptr);
  WriteFileBytes(path, content);
  // Another program holds it open: it can be copied but not deleted.
  UniqueFile holder(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  Begin();
  const std::wstring copy = backup_ + L"\\보류.exe";
  ASSERT_TRUE(::CopyFileW(path.c_str(), copy.c_str(), TRUE));
  recorder_.File(FromWide(path), FromWide(copy));
  ASSERT_FALSE(::DeleteFileW(path.c_str()));
  ASSERT_TRUE(::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  recorder_.PendingDeletion(FromWide(path));
  ASSERT_TRUE(Queues(path)) << "MoveFileExW queued nothing where Windows keeps it";
  const size_t queuedBefore = QueuedOperations().size();
  holder.reset();

  const RestoreOutcome outcome = Restore();
  EXPECT_TRUE(outcome.Succeeded()) << First(outcome);
  EXPECT_FALSE(Queues(path));
  EXPECT_EQ(QueuedOperations().size(), queuedBefore - 2);  // that pair and nothing else
  EXPECT_EQ(ReadBytes(path), content);
  // For the restart script: the path that must still be there afterwards.
  WriteFileBytes(L"C:\\zc-restart-check.txt", ToUtf8(FromWide(path)));
}

TEST_F(Win32RestoreExactly, ASharedHostsServiceComesBackThroughTheServiceManagerWithEveryValue) {
  const std::wstring service = L"ZcShared" + Id();
  const std::wstring group = L"zcgroup" + Id();
  const std::wstring serviceKey = ToWide(texts_.Get(enc::ServiceKeyPrefix)) + service;
  const std::wstring groupsKey = ToWide(texts_.Get(enc::ServiceGroupsKeyPath));
  SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_TRUE(manager);
  const std::wstring image = L"%SystemRoot%\\System32\\svchost.exe -k " + group;
  SC_HANDLE created = ::CreateServiceW(manager, service.c_str(), L"좀비 공유 시험", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_SHARE_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       image.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(created);
  std::wstring description = L"공유 호스트 서비스 설명 " + Id();
  SERVICE_DESCRIPTIONW text{description.data()};
  ASSERT_TRUE(::ChangeServiceConfig2W(created, SERVICE_CONFIG_DESCRIPTION, &text));
  // Of the further settings this Wine keeps and reports the pre-shutdown timeout (and a
  // security descriptor of its own making); failure actions it takes but never reports.
  SERVICE_PRESHUTDOWN_INFO preshutdown{20000};
  ASSERT_TRUE(::ChangeServiceConfig2W(created, SERVICE_CONFIG_PRESHUTDOWN_INFO, &preshutdown));
  ::CloseServiceHandle(created);
  const std::vector<uint8_t> dll = Utf16(L"%SystemRoot%\\System32\\zc공유.dll");
  HKEY parameters = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (serviceKey + L"\\Parameters").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &parameters, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(parameters, L"ServiceDll", 0, REG_EXPAND_SZ, dll.data(), static_cast<DWORD>(dll.size()));
  const DWORD unload = 1;
  ::RegSetValueExW(parameters, L"ServiceDllUnloadOnStop", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&unload), 4);
  ::RegCloseKey(parameters);
  Win32RawRegistry registry;
  ASSERT_TRUE(registry.WriteValueAt({kLocalMachine, RegistryView::Native, FromWide(groupsKey), {}}, FromWide(group),
                                    {7, MultiTextData({u"Other", FromWide(service)})}));
  const std::optional<ServiceConfig> before = machine_.services.QueryConfig(FromWide(service));
  ASSERT_TRUE(before);
  const ServiceSettings settingsBefore = machine_.services.QuerySettings(FromWide(service));
  ASSERT_EQ(settingsBefore.preshutdownTimeoutMs, 20000u);

  // Treated: recorded, taken off its group's list, deleted (its whole key goes).
  Begin();
  recorder_.ServiceDelete(FromWide(service));
  ASSERT_EQ(RemoveFromServiceGroup(texts_, registry, FromWide(group), FromWide(service)), GroupListChange::Changed);
  ASSERT_EQ(machine_.services.Delete(FromWide(service)), SystemError::None);
  for (int i = 0; i < 50 && machine_.services.Exists(FromWide(service)); ++i) ::Sleep(100);
  ASSERT_FALSE(machine_.services.Exists(FromWide(service)));
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, serviceKey.c_str());
  ASSERT_EQ(Stored(HKEY_LOCAL_MACHINE, serviceKey + L"\\Parameters", L"ServiceDll", KEY_WOW64_64KEY),
            std::vector<uint8_t>{0xEE});

  const RestoreOutcome outcome = Restore();
  EXPECT_TRUE(outcome.Succeeded()) << First(outcome);
  const std::optional<ServiceConfig> after = machine_.services.QueryConfig(FromWide(service));
  ASSERT_TRUE(after) << "the service manager does not know the service";
  EXPECT_EQ(ToUtf8(after->imagePath), ToUtf8(before->imagePath));
  EXPECT_EQ(after->serviceType, DWORD{SERVICE_WIN32_SHARE_PROCESS});
  EXPECT_EQ(after->startType, before->startType);
  EXPECT_EQ(ToUtf8(after->displayName), ToUtf8(before->displayName));
  EXPECT_EQ(ToUtf8(after->description), ToUtf8(FromWide(description)));
  const ServiceSettings settingsAfter = machine_.services.QuerySettings(FromWide(service));
  EXPECT_EQ(settingsAfter.preshutdownTimeoutMs, 20000u);
  EXPECT_EQ(settingsAfter, settingsBefore);
  DWORD type = 0;
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, serviceKey + L"\\Parameters", L"ServiceDll", KEY_WOW64_64KEY, &type), dll);
  EXPECT_EQ(type, DWORD{REG_EXPAND_SZ});
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, serviceKey + L"\\Parameters", L"ServiceDllUnloadOnStop", KEY_WOW64_64KEY),
            (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(MultiTextItems(Stored(HKEY_LOCAL_MACHINE, groupsKey, group, KEY_WOW64_64KEY)),
            (std::vector<Text>{u"Other", FromWide(service)}));

  SC_HANDLE made = ::OpenServiceW(manager, service.c_str(), DELETE);
  ::DeleteService(made);
  ::CloseServiceHandle(made);
  ::CloseServiceHandle(manager);
  HKEY groups = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, groupsKey.c_str(), 0, KEY_SET_VALUE, &groups) == ERROR_SUCCESS) {
    ::RegDeleteValueW(groups, group.c_str());
    ::RegCloseKey(groups);
  }
}

TEST(Win32RestoreLongPaths, FilesPastTheClassicLimitAreHashedMeasuredAndCopiedBack) {
  std::wstring folder = L"C:\\zc긴경로" + Id();
  const std::wstring top = folder;
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  while (folder.size() < 300) {
    folder += L"\\아주 긴 폴더 이름입니다 0123456789";
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  }
  const std::wstring source = folder + L"\\원본.bin";
  const std::wstring destination = folder + L"\\되돌림.bin";
  WriteFileBytes(L"\\\\?\\" + source, "abc");
  Win32FileHash hashes;
  Win32RestoreFiles files;
  const std::optional<FileDigest> digest = hashes.Digest(FromWide(source));
  ASSERT_TRUE(digest);
  EXPECT_EQ(ToUtf8(digest->sha256), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(files.FileSize(FromWide(source)), int64_t{3});
  EXPECT_TRUE(files.Attributes(FromWide(source)));
  ASSERT_TRUE(files.CopyUnchangedCopy(FromWide(source), FromWide(destination), *digest));
  EXPECT_EQ(ReadBytes(L"\\\\?\\" + destination), "abc");
  EXPECT_TRUE(files.SetAttributes(FromWide(destination), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  const std::wstring placeholder = folder + L"\\자리";
  ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + placeholder).c_str(), nullptr));
  EXPECT_TRUE(files.IsEmptyFolder(FromWide(placeholder)));
  EXPECT_TRUE(files.RemoveEmptyFolder(FromWide(placeholder)));
  Win32Security security;
  EXPECT_TRUE(security.Facts(FromWide(destination)));
  RemoveTree(top);
}

TEST(Win32RawRegistryPlaces, AUsersHiveThatIsNotLoadedIsNeverMade) {
  Win32RawRegistry registry;
  const Text sid = u"S-1-5-21-1-2-3-" + FromWide(Id());
  const RegistryKeyPlace key{static_cast<int32_t>(0x80000001u), RegistryView::Native, u"Software\\Zc", sid};
  EXPECT_FALSE(registry.KeyOpens({kUsersRoot, RegistryView::Native, sid, {}}));
  EXPECT_FALSE(registry.WriteValueAt(key, u"v", {4, {1, 0, 0, 0}}));
  EXPECT_FALSE(registry.KeyOpens({kUsersRoot, RegistryView::Native, sid, {}}));
  // A loaded one (the default user's, always there) is written into.
  const RegistryKeyPlace loaded{static_cast<int32_t>(0x80000001u), RegistryView::Native, u"Software\\ZcPlace" + FromWide(Id()),
                                u".DEFAULT"};
  ASSERT_TRUE(registry.WriteValueAt(loaded, u"v", {4, {1, 0, 0, 0}}));
  EXPECT_EQ(registry.ReadValueAt(loaded, u"v"), (RawRegistryValue{4, {1, 0, 0, 0}}));
  EXPECT_EQ(registry.ValueNames(loaded), std::vector<Text>{u"v"});
  ::RegDeleteKeyW(HKEY_USERS, (L".DEFAULT\\Software\\ZcPlace" + Id()).c_str());
}

}  // namespace
}  // namespace zc::win
