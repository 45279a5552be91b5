// Treated by the treatment pass and restored from the record, on the real machine
// layer: a program file, autorun values of two types and a service made with
// `sc create` come back exactly; a second restore does nothing; a changed backup copy is
// refused and the placeholder stays.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/engine/finding_texts.h"
#include "core/engine/treatment_pass.h"
#include "core/machine/registry_values.h"
#include "core/restore/restore_runner.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_result_list.h"
#include "win32/base/ansi.h"
#include "win32/log/win32_activity_log.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_environment.h"
#include "win32/machine/win32_connection_owner.h"
#include "win32/machine/win32_process_details.h"
#include "win32/trust/win32_file_trust.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_shell.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {
namespace {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return in ? all.str() : std::string("<unreadable>");
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE listing = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(listing, &found));
    ::FindClose(listing);
  }
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

BOOL CALLBACK CloseExplorer(HWND window, LPARAM) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) == L"ExplorerWClass") ::PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// The main window's slice without its waits.
class QuickWindow final : public MainWindowView {
 public:
  void SetStatusText(TextView) override {}
  void SetTreatedCountText(TextView) override {}
  Text IndicatorText() override { return {}; }
  void SetIndicatorText(TextView) override {}
  void ShowMessage(TextView, TextView, MessageIcon) override {}
  void Delay(float seconds) override { ::Sleep(static_cast<DWORD>(seconds * 100)); }
  void EndProgram() override {}
};

class Win32PassRestore : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring id = std::to_wstring(::GetCurrentProcessId());
    folder_ = L"C:\\zc 복원 " + id;
    program_ = L"좀비 프로그램 " + id + L".exe";
    serviceImage_ = L"zc서비스" + id + L".exe";
    serviceName_ = L"ZcRestoreSvc" + id;
    runEntry_ = L"Zc 복원 자동 " + id;
    RemoveTree(folder_);
    ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    programBytes_ = std::string("MZ\x90\0\x03 program ", 15) + std::string(70000, '\x5A');
    WriteBytes(Path(program_), programBytes_);
    ::SetFileAttributesW(Path(program_).c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    WriteBytes(Path(serviceImage_), "MZ service");
  }

  void TearDown() override {
    console_.RunCapture(u"sc delete " + FromWide(serviceName_));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      HKEY key = nullptr;
      if (::RegOpenKeyExW(root, RunKey().c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, runEntry_.c_str());
        ::RegCloseKey(key);
      }
    }
    ::EnumWindows(&CloseExplorer, 0);
    RemoveTree(folder_);
    RemoveTree(Backup(program_));
    RemoveTree(Backup(serviceImage_));
  }

  std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
  std::wstring Backup(const std::wstring& name) const { return ToWide(texts_.Get(enc::BackupPrefix)) + name; }
  std::wstring RunKey() const { return ToWide(texts_.Get(enc::InfectionKeyPath)); }

  void SetRunValue(HKEY root, DWORD type, const std::wstring& data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, RunKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, runEntry_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
  }
  std::optional<RawRegistryValue> RunValue(HKEY root) {
    return machine_.registry.ReadRawValue(static_cast<int32_t>(reinterpret_cast<intptr_t>(root)),
                                          FromWide(RunKey()), FromWide(runEntry_));
  }

  void PlantAndTreat() {
    SetRunValue(HKEY_CURRENT_USER, REG_SZ, L"\"" + Path(program_) + L"\" /자동");
    SetRunValue(HKEY_LOCAL_MACHINE, REG_EXPAND_SZ, L"%SystemDrive%\\zc\\" + program_);
    runBefore_[0] = RunValue(HKEY_CURRENT_USER);
    runBefore_[1] = RunValue(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(runBefore_[0] && runBefore_[1]);
    console_.RunCapture(u"sc create " + FromWide(serviceName_) + u" binPath= \"" + FromWide(Path(serviceImage_)) +
                        u"\"");
    serviceBefore_ = machine_.services.QueryConfig(FromWide(serviceName_));
    ASSERT_TRUE(serviceBefore_) << "sc create made no service";

    results_.Append({FromWide(program_), u"None", FromWide(Path(program_)), u"N/A", kKindRegistryInfection,
                     FromWide(runEntry_), u"1"});
    results_.Append({FromWide(serviceImage_), u"None", FromWide(Path(serviceImage_)), FromWide(serviceName_),
                     kKindServiceHide, u"", u""});
    TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, machine_.services, environment_, trust_,
                      connectionOwners_, machine_.registry},
                     recorder_);
    pass.TreatFindings();
    ASSERT_TRUE(results_.rows.empty());
    // The service is deleted by a command that runs on its own.
    for (int i = 0; i < 50 && machine_.services.Exists(FromWide(serviceName_)); ++i) ::Sleep(100);
    ASSERT_FALSE(machine_.services.Exists(FromWide(serviceName_))) << "the treatment did not delete the service";
    ASSERT_FALSE(RunValue(HKEY_CURRENT_USER));
    ASSERT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
    ::EnumWindows(&CloseExplorer, 0);
  }

  DWORD Attributes(const std::wstring& path) const { return ::GetFileAttributesW(path.c_str()); }

  SilentFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  fakes::FakeResultList results_;
  Win32Console console_;
  Win32Processes processes_;
  Win32Shell shell_;
  Win32Registry registry_;
  Win32Files files_;
  Win32Environment environment_;
  Win32ProcessDetails processDetails_;
  Win32FileTrust trust_;
  Win32ConnectionOwner connectionOwners_;
  DefinitionsSet definitions_;
  Win32ActivityLog log_;
  QuickWindow window_;
  RestoreMachine machine_;
  TreatmentRecorder recorder_{machine_.ForRecording(texts_)};
  // The administrator says yes to the list of steps every restore shows first; the
  // program's own records are trusted, so no step is asked about after it.
  struct ListAnsweredYes : StepConfirmation {
    std::vector<Text> questions;
    bool Confirm(TextView question) override { return questions.emplace_back(question), true; }
  } confirm_;
  RestoreRunner runner_{machine_.ForRestore(texts_, log_, confirm_), RestoreRunner::TreatmentLimits(texts_)};

  std::wstring folder_, program_, serviceImage_, serviceName_, runEntry_;
  std::string programBytes_;
  std::optional<RawRegistryValue> runBefore_[2];
  std::optional<ServiceConfig> serviceBefore_;
};

TEST_F(Win32PassRestore, EverythingTreatedComesBackAndASecondRestoreDoesNothing) {
  PlantAndTreat();
  const DWORD placeholder = Attributes(Path(program_));
  ASSERT_TRUE(placeholder == 0x16 || placeholder == 0x17) << std::hex << placeholder;

  const RestoreOutcome program = runner_.Restore(FromWide(Backup(program_)));
  EXPECT_TRUE(program.Succeeded()) << ToUtf8(program.problems.empty() ? Text() : program.problems.front());
  ASSERT_EQ(confirm_.questions.size(), 1u);
  EXPECT_EQ(confirm_.questions[0].rfind(texts_.Get(enc::RestoreOverviewLead), 0), 0u);
  EXPECT_EQ(program.restoredTreatments, 1);
  EXPECT_EQ(ReadBytes(Path(program_)), programBytes_);
  EXPECT_EQ(Attributes(Path(program_)), DWORD{FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY});
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), runBefore_[0]);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), runBefore_[1]);

  const RestoreOutcome service = runner_.Restore(FromWide(Backup(serviceImage_)));
  EXPECT_TRUE(service.Succeeded()) << ToUtf8(service.problems.empty() ? Text() : service.problems.front());
  EXPECT_EQ(confirm_.questions.size(), 2u);
  EXPECT_EQ(ReadBytes(Path(serviceImage_)), "MZ service");
  const std::optional<ServiceConfig> serviceAfter = machine_.services.QueryConfig(FromWide(serviceName_));
  ASSERT_TRUE(serviceAfter) << "the service was not made again";
  EXPECT_EQ(ToUtf8(serviceAfter->imagePath), ToUtf8(serviceBefore_->imagePath));
  EXPECT_EQ(serviceAfter->startType, serviceBefore_->startType);
  EXPECT_EQ(serviceAfter->serviceType, serviceBefore_->serviceType);
  EXPECT_EQ(serviceAfter->errorControl, serviceBefore_->errorControl);
  EXPECT_EQ(ToUtf8(serviceAfter->displayName), ToUtf8(serviceBefore_->displayName));
  EXPECT_EQ(ToUtf8(serviceAfter->account), ToUtf8(serviceBefore_->account));

  // Nothing is left to do: no step runs, nothing is logged.
  const std::wstring logPath = Backup(program_) + L"\\" + ToWide(texts_.Get(enc::LogFileName));
  const std::string logBefore = ReadBytes(logPath);
  const RestoreOutcome again = runner_.Restore(FromWide(Backup(program_)));
  EXPECT_TRUE(again.Succeeded());
  EXPECT_EQ(again.restoredTreatments, 0);
  EXPECT_EQ(confirm_.questions.size(), 2u);  // nothing to do: nothing asked
  EXPECT_EQ(ReadBytes(logPath), logBefore);
  EXPECT_EQ(ReadBytes(Path(program_)), programBytes_);
}

TEST_F(Win32PassRestore, AChangedBackupCopyIsRefusedAndThePlaceholderStays) {
  PlantAndTreat();
  const std::wstring copy = Backup(program_) + L"\\" + program_;
  ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteBytes(copy, programBytes_ + "tampered");

  const RestoreOutcome outcome = runner_.Restore(FromWide(Backup(program_)));
  ASSERT_FALSE(outcome.Succeeded());
  EXPECT_EQ(outcome.problems.front(),
            texts_.Get(enc::RestoreBackupChanged) + FromWide(copy) + texts_.Get(enc::LogLineEnd));
  const DWORD placeholder = Attributes(Path(program_));
  EXPECT_TRUE(placeholder == 0x16 || placeholder == 0x17) << std::hex << placeholder;
  // The values, which have nothing to do with the copy, are back.
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), runBefore_[0]);
}

}  // namespace
}  // namespace zc::win
