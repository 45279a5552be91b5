// Bots living inside Windows' programs, treated on this machine: autorun values that run
// a payload through the DLL host, the script host, the command interpreter and the COM
// registrar, and a DLL host process running a bot DLL beside an innocent one. Each
// payload is backed up and blocked, the bot's process ended, the innocent one left
// running, and Windows' programs stay byte for byte, with nothing new beside them. Wine's
// programs carry no signature and are not protected: only the rule that never takes a
// host keeps them here.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/engine/treatment_pass.h"
#include "core/machine/registry_values.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/win32/base/ansi_of.h"
#include "tests/win32/engine/quick_window.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/log/win32_activity_log.h"
#include "win32/machine/win32_connection_owner.h"
#include "win32/machine/win32_environment.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_process_details.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_shell.h"
#include "win32/restore/restore_machine.h"
#include "win32/trust/win32_file_trust.h"

namespace zc::win {
namespace {

std::string NextToTest(const std::string& name) {
  char own[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, own, MAX_PATH);
  const std::string folder(own);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

std::string Content(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return in ? all.str() : std::string("<none>");
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE listing = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (listing == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(found.cFileName);
  while (::FindNextFileA(listing, &found));
  ::FindClose(listing);
  return names;
}

void RemoveTree(const std::string& folder) {
  for (const std::string& name : Names(folder)) {
    if (name == "." || name == "..") continue;
    const std::string full = folder + "\\" + name;
    ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(full);
    } else {
      ::DeleteFileA(full.c_str());
    }
  }
  ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryA(folder.c_str());
}

UniqueHandle Start(std::string command, DWORD& id) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started)) {
    return UniqueHandle();
  }
  ::CloseHandle(started.hThread);
  id = started.dwProcessId;
  return UniqueHandle(started.hProcess);
}

class Win32HostPayloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(::GetCurrentProcessId());
    folder_ = "C:\\zchost" + id;
    RemoveTree(folder_);
    ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    for (const char* name : {"bot.dll", "innocent.dll", "y.dll", "w.dll"}) {
      ASSERT_TRUE(::CopyFileA(NextToTest("zc_bot.dll").c_str(), Path(name).c_str(), FALSE)) << name;
    }
    ASSERT_TRUE(::CopyFileA(NextToTest("engine_victim.exe").c_str(), Path("z.exe").c_str(), FALSE));
    std::ofstream(Path("x.vbs"), std::ios::binary) << "WScript.Sleep 1000\r\n";
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    system32_ = std::string(windows) + "\\system32";
    entry_ = "ZcHost" + id;
  }

  void TearDown() override {
    for (UniqueHandle* process : {&bot_, &innocent_}) {
      if (*process) {
        ::TerminateProcess(process->get(), 1);
        ::WaitForSingleObject(process->get(), 5000);
      }
    }
    for (int i = 1; i <= 4; ++i) {
      registry_.DeleteRegistryValue(UserRoot(), texts_.Get(enc::InfectionKeyPath), Wide(Entry(i)));
    }
    for (const char* name : {"bot.dll", "y.dll", "x.vbs", "z.exe", "w.dll"}) {
      if (HWND window = ::FindWindowA("ExplorerWClass", name)) ::PostMessageA(window, WM_CLOSE, 0, 0);
      RemoveTree(Ansi(texts_.Get(enc::BackupPrefix)) + name);
    }
    RemoveTree(folder_);
  }

  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Entry(int i) const { return entry_ + std::to_string(i); }
  int32_t UserRoot() const { return RootKeyFromText(texts_.Get(enc::InfectionRootText)); }
  static std::string Ansi(TextView text) { return AnsiOf(text); }
  static Text Wide(const std::string& ansi) { return FromAnsi(ansi); }
  std::string Host(const char* name) const { return system32_ + "\\" + name; }

  void AddAutorun(int i, const std::string& commandLine, const std::string& name) {
    registry_.WriteRegistryString(UserRoot(), texts_.Get(enc::InfectionKeyPath), Wide(Entry(i)), Wide(commandLine));
    results_.Append({Wide(name), u"None", Wide(commandLine), u"N/A", kKindRegistryInfection, Wide(Entry(i)), u"1"});
  }

  SilentFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  DefinitionsSet definitions_;
  fakes::FakeResultList results_;
  Win32Processes processes_;
  Win32Shell shell_;
  Win32Registry registry_;
  Win32Files files_;
  Win32Environment environment_;
  Win32ProcessDetails processDetails_;
  Win32FileTrust trust_;
  Win32ConnectionOwner connectionOwners_;
  Win32ActivityLog log_;
  QuickWindow window_;
  RestoreMachine restoreMachine_;
  TreatmentRecorder recorder_{restoreMachine_.ForRecording(texts_)};
  std::string folder_, system32_, entry_;
  UniqueHandle bot_, innocent_;
  DWORD botId_ = 0, innocentId_ = 0;
};

TEST_F(Win32HostPayloadTest, ThePayloadsGoWindowsProgramsStay) {
  const std::vector<const char*> hosts = {"rundll32.exe", "wscript.exe", "cmd.exe", "regsvr32.exe"};
  std::map<std::string, std::string> before;
  for (const char* host : hosts) before[host] = Content(Host(host));
  const size_t namesBefore = Names(system32_).size();

  bot_ = Start("\"" + Host("rundll32.exe") + "\" \"" + Path("bot.dll") + "\",Start 40177", botId_);
  innocent_ = Start("\"" + Host("rundll32.exe") + "\" \"" + Path("innocent.dll") + "\",Start 40178", innocentId_);
  ASSERT_TRUE(bot_ && innocent_);
  ::Sleep(1500);  // the DLLs load and their parameters blocks are filled in
  ASSERT_EQ(::WaitForSingleObject(bot_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  results_.Append({u"rundll32.exe", Wide(std::to_string(botId_)), Wide(Host("rundll32.exe")), u"N/A",
                   kKindOutputTunnel, u"", u""});
  AddAutorun(1, Host("rundll32.exe") + " " + Path("y.dll") + ",Start", "rundll32.exe");
  AddAutorun(2, "wscript.exe //B " + Path("x.vbs"), "wscript.exe");
  AddAutorun(3, "cmd.exe /c start \"\" " + Path("z.exe"), "cmd.exe");
  AddAutorun(4, "regsvr32 /s " + Path("w.dll"), "regsvr32");

  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_,
                      trust_, connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();

  for (const RowBuffer& row : results_.rows) ADD_FAILURE() << "left: " << ToUtf8(row[kColumnFlag]);
  EXPECT_EQ(::WaitForSingleObject(bot_.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0)) << "the bot still runs";
  EXPECT_EQ(::WaitForSingleObject(innocent_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the innocent one ended";
  for (const char* payload : {"bot.dll", "y.dll", "x.vbs", "z.exe", "w.dll"}) {
    SCOPED_TRACE(payload);
    const DWORD placeholder = ::GetFileAttributesA(Path(payload).c_str());
    EXPECT_TRUE(placeholder != INVALID_FILE_ATTRIBUTES && (placeholder & FILE_ATTRIBUTE_DIRECTORY)) << placeholder;
    const std::string copy = Ansi(texts_.Get(enc::BackupPrefix)) + payload + "\\" + payload;
    EXPECT_NE(Content(copy), "<none>");
  }
  EXPECT_EQ(Content(Path("innocent.dll")), Content(NextToTest("zc_bot.dll")));
  for (const char* host : hosts) EXPECT_EQ(Content(Host(host)), before[host]) << host;
  EXPECT_EQ(Names(system32_).size(), namesBefore);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(ReadRegistryText(registry_, UserRoot(), texts_.Get(enc::InfectionKeyPath), Wide(Entry(i))), u"") << i;
  }
}

}  // namespace
}  // namespace zc::win
