// Detection and treatment on the real machine layer: a running process with a matching
// connection line, a service entry and an autorun value, all made by the test, are
// found by the checks and treated; the test then inspects processes, files, folders,
// the registry and the backup logs.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/engine/connection_scan.h"
#include "core/engine/listing_route.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/service_check.h"
#include "core/engine/treatment_pass.h"
#include "core/machine/process_inventory.h"
#include "core/machine/registry_values.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/win32/engine/quick_window.h"
#include "tests/win32/base/ansi_of.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
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

std::string Ansi(TextView text) { return AnsiOf(text); }
Text Wide(const std::string& ansi) { return FromAnsi(ansi); }

std::string NextToTest(const std::string& name) {
  char own[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, own, MAX_PATH);
  std::string folder(own);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

int64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<int64_t>(data.nFileSizeLow);
}

std::vector<std::string> FileLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) lines.push_back(text.substr(start) + "<no line end>");
  return lines;
}

// The text after the "[date time] " stamp of a log line.
std::string WithoutStamp(const std::string& line) {
  if (line.empty() || line[0] != '[') return "<no stamp>" + line;
  const size_t close = line.find("] ");
  return close == std::string::npos ? "<no stamp>" + line : line.substr(close + 2);
}

// Removes a folder with the files and folders directly inside it, whatever their
// attributes.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE listing = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = folder + "\\" + name;
      ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(listing, &found));
    ::FindClose(listing);
  }
  ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryA(folder.c_str());
}

// Posts WM_CLOSE to the file explorer windows showing one of `titles`, waiting up to
// `milliseconds` for each to appear. Returns how many were closed.
int CloseExplorerWindows(const std::vector<std::string>& titles, DWORD milliseconds) {
  int closed = 0;
  for (const std::string& title : titles) {
    for (DWORD waited = 0; waited <= milliseconds; waited += 100) {
      if (HWND window = ::FindWindowA("ExplorerWClass", title.c_str())) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        ++closed;
        break;
      }
      ::Sleep(100);
    }
  }
  return closed;
}

class Win32TreatmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(::GetCurrentProcessId());
    folder_ = "C:\\zcengine" + id;
    victimName_ = "zcv" + id + ".exe";
    serviceImage_ = "zcs" + id + ".exe";
    runImage_ = "zcr" + id + ".exe";
    serviceName_ = "ZcEngineSvc" + id;
    runEntry_ = "ZcEngineRun" + id;
    innocentService_ = "ZcInnocentSvc" + id;
    vendorEntry_ = "ZcEngineVendor" + id;
    parentEntry_ = "ZcEngineParent" + id;
    RemoveTree(folder_);
    ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    keptImage_ = "zck" + id + ".exe";
    for (const std::string* name : {&victimName_, &serviceImage_, &runImage_, &keptImage_}) {
      ASSERT_TRUE(::CopyFileA(NextToTest("engine_victim.exe").c_str(), Path(*name).c_str(), FALSE));
    }
  }

  void TearDown() override {
    if (victim_) ::TerminateProcess(victim_.get(), 1);
    if (innocent_) ::TerminateProcess(innocent_.get(), 1);
    if (innocent_) ::WaitForSingleObject(innocent_.get(), 5000);
    console_.RunCapture(Wide("sc delete " + serviceName_));
    console_.RunCapture(Wide("sc delete " + innocentService_));
    for (const std::string* entry : {&vendorEntry_, &parentEntry_}) {
      registry_.DeleteRegistryValue(RootKeyFromText(texts_.Get(enc::InfectionRootText)),
                                    texts_.Get(enc::InfectionKeyPath), Wide(*entry));
    }
    CloseExplorerWindows({"Vendor", "__"}, 0);
    RemoveTree(Backup("Vendor"));
    RemoveTree(Backup("__"));
    registry_.DeleteRegistryValue(RootKeyFromText(texts_.Get(enc::InfectionRootText)),
                                  texts_.Get(enc::InfectionKeyPath), Wide(runEntry_));
    CloseExplorerWindows({victimName_, serviceImage_, runImage_, keptImage_}, 0);
    RemoveTree(folder_);
    for (const std::string* name : {&victimName_, &serviceImage_, &runImage_, &keptImage_}) RemoveTree(Backup(*name));
  }

  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Backup(const std::string& name) const { return Ansi(texts_.Get(enc::BackupPrefix)) + name; }

  // Starts the program at `path`; an empty handle when it cannot be started.
  static UniqueHandle Start(const std::string& path, DWORD& id) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::string command = "\"" + path + "\"";
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &started)) {
      return UniqueHandle();
    }
    ::CloseHandle(started.hThread);
    id = started.dwProcessId;
    return UniqueHandle(started.hProcess);
  }

  void StartVictim() {
    victim_ = Start(Path(victimName_), victimId_);
    ASSERT_TRUE(victim_);
  }

  // The lines a treatment writes for a Finding of this name and path.
  std::vector<std::string> StandardLines(const std::string& name, const std::string& path) const {
    return {name + Ansi(texts_.Get(enc::LogTreatedText)),
            name + Ansi(texts_.Get(enc::LogPathText)) + path + Ansi(texts_.Get(enc::LogLineEnd)),
            Ansi(texts_.Get(enc::LogClosingFirst)), Ansi(texts_.Get(enc::LogClosingSecond))};
  }
  std::vector<std::string> LoggedLines(const std::string& name) const {
    std::vector<std::string> lines;
    for (const std::string& line : FileLines(Backup(name) + "\\" + Ansi(texts_.Get(enc::LogFileName)))) {
      lines.push_back(WithoutStamp(line));
    }
    return lines;
  }
  void ExpectTreatedFile(const std::string& name, int64_t size) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SizeOf(Backup(name) + "\\" + name), size);
    const DWORD placeholder = Attributes(Path(name));
    EXPECT_TRUE(placeholder == 0x16 || placeholder == 0x17) << std::hex << placeholder;
    EXPECT_EQ(LoggedLines(name), StandardLines(name, Path(name)));
  }

  SilentFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  DefinitionsSet definitions_;
  fakes::FakeResultList results_;
  RowBuffer rowBuffer_;
  fakes::FakeConsole listings_;  // Wine's netstat and tasklist print no process ids
  fakes::FakeConnectionTable connectionTable_;
  fakes::FakeServiceTable serviceTable_;
  ListingRoute consoleListings_{texts_, listings_, connectionTable_, serviceTable_, ListingRouteChoice::Console};
  Win32Console console_;
  Win32Processes processes_;
  ProcessInventory inventory_{processes_};
  Win32Shell shell_;
  Win32Registry registry_;
  Win32Files files_;
  Win32Environment environment_;
  Win32ProcessDetails processDetails_;
  ProcessEndRules endRules_{processes_, processDetails_};
  Win32FileTrust trust_;
  Win32ConnectionOwner connectionOwners_;
  Win32ActivityLog log_;
  QuickWindow window_;
  RestoreMachine restoreMachine_;
  TreatmentRecorder recorder_{restoreMachine_.ForRecording(texts_)};

  std::string folder_, victimName_, serviceImage_, runImage_, keptImage_, serviceName_, runEntry_;
  std::string innocentService_, vendorEntry_, parentEntry_;
  UniqueHandle victim_, innocent_;
  DWORD victimId_ = 0, innocentId_ = 0;
};

TEST_F(Win32TreatmentTest, FindsAndTreatsAProcessAServiceAndAnAutorunValue) {
  StartVictim();
  const int64_t size = SizeOf(Path(victimName_));
  ASSERT_GT(size, 0);

  // What the machine shows: a connection of the victim, a service and an autorun value.
  const std::string pid = std::to_string(victimId_);
  listings_.SetOutput(texts_.Get(enc::ConnectionListCommand),
                      Wide("  TCP    10.0.0.5:49702         203.0.113.77:443       ESTABLISHED     " +
                           std::string(pid.size() < 6 ? 6 - pid.size() : 0, ' ') + pid + "\r\n"));
  listings_.SetOutput(texts_.Get(enc::ServiceListCommand), Wide(victimName_ + "           " + pid + " N/A\r\n"));
  const Text created = console_.RunCapture(Wide("sc create " + serviceName_ + " binPath= " + Path(serviceImage_)));
  ASSERT_EQ(ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                             texts_.Get(enc::ServiceCheckKeyPrefix) + Wide(serviceName_),
                             texts_.Get(enc::ServiceImageValueName)),
            Wide(Path(serviceImage_)))
      << ToUtf8(created);
  const int32_t runRoot = RootKeyFromText(texts_.Get(enc::InfectionRootText));
  registry_.WriteRegistryString(runRoot, texts_.Get(enc::InfectionKeyPath), Wide(runEntry_), Wide(Path(runImage_)));

  definitions_.OutputTunnelPatterns = {u"", u"203.0.113.77:443", u""};
  definitions_.OutputTunnelTable[0] = u"203.0.113.77:443";
  definitions_.ServiceNameList = {Wide(serviceName_)};
  definitions_.RegistryEntryList = {Wide(runEntry_)};

  // Detection.
  ConnectionScan scan(texts_, definitions_, consoleListings_, inventory_, endRules_, shell_, registry_, results_, rowBuffer_);
  ServiceCheck serviceCheck(texts_, definitions_, registry_, results_, rowBuffer_);
  RegistryInfectionCheck registryCheck(texts_, definitions_, registry_, results_, rowBuffer_);
  scan.ScanConnections();
  serviceCheck.Run();
  registryCheck.Run();
  ASSERT_EQ(results_.rows.size(), 3u);
  EXPECT_EQ(results_.rows[0], (RowBuffer{Wide(victimName_), Wide(pid), Wide(Path(victimName_)), u"N/A",
                                         kKindOutputTunnel, u"", u""}));
  EXPECT_EQ(results_.rows[1], (RowBuffer{Wide(serviceImage_), u"None", Wide(Path(serviceImage_)), Wide(serviceName_),
                                         kKindServiceHide, u"", u""}));
  EXPECT_EQ(results_.rows[2], (RowBuffer{Wide(runImage_), u"None", Wide(Path(runImage_)), u"N/A",
                                         kKindRegistryInfection, Wide(runEntry_), u"1"}));

  // Treatment.
  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_, trust_,
                      connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();
  EXPECT_TRUE(results_.rows.empty());
  EXPECT_EQ(window_.countText, u"3건");
  EXPECT_FALSE(window_.ended);

  EXPECT_TRUE(::WaitForSingleObject(victim_.get(), 5000) == WAIT_OBJECT_0) << "the process is still running";
  ExpectTreatedFile(victimName_, size);
  ExpectTreatedFile(serviceImage_, size);
  ExpectTreatedFile(runImage_, size);
  EXPECT_EQ(ReadRegistryText(registry_, runRoot, texts_.Get(enc::InfectionKeyPath), Wide(runEntry_)), u"");

  // The service is deleted by a command that runs on its own: give it a moment.
  Text image = u"?";
  for (int i = 0; i < 50 && !image.empty(); ++i, ::Sleep(100)) {
    image = ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                             texts_.Get(enc::ServiceCheckKeyPrefix) + Wide(serviceName_),
                             texts_.Get(enc::ServiceImageValueName));
  }
  EXPECT_EQ(image, u"") << "the service is still there";

  // Each treated Finding opened its backup folder in the file explorer.
  EXPECT_EQ(CloseExplorerWindows({victimName_, serviceImage_, runImage_}, 15000), 3);
}

// Everything next to a real suspect that shares something with it: an innocent program
// of the same image name in another folder, whose id is also where a connection line
// with a wider id would point when read by its last six digits and where a stale row
// points; an innocent service on the listing line of a process whose id ends with the
// suspect's digits; an existing folder that two autorun values name. After the
// treatment only the suspect's own process, file and values are gone.
TEST_F(Win32TreatmentTest, LeavesEveryInnocentBystanderAlone) {
  StartVictim();
  const std::string otherFolder = folder_ + "\\other";
  const std::string innocentPath = otherFolder + "\\" + victimName_;
  ASSERT_TRUE(::CreateDirectoryA(otherFolder.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileA(NextToTest("engine_victim.exe").c_str(), innocentPath.c_str(), FALSE));
  innocent_ = Start(innocentPath, innocentId_);
  ASSERT_TRUE(innocent_);
  ASSERT_LT(innocentId_, 1000000u);
  const int64_t size = SizeOf(Path(victimName_));

  const int32_t serviceRoot = RootKeyFromText(texts_.Get(enc::ServiceRootText));
  const Text innocentKey = texts_.Get(enc::ServiceCheckKeyPrefix) + Wide(innocentService_);
  console_.RunCapture(Wide("sc create " + innocentService_ + " binPath= " + innocentPath));
  const Text innocentImage = ReadRegistryText(registry_, serviceRoot, innocentKey, texts_.Get(enc::ServiceImageValueName));
  const Text innocentStart = ReadRegistryText(registry_, serviceRoot, innocentKey, texts_.Get(enc::ServiceFlagValueName));
  ASSERT_EQ(innocentImage, Wide(innocentPath));

  const std::string vendor = Path("Vendor");
  ASSERT_TRUE(::CreateDirectoryA(vendor.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileA(NextToTest("engine_victim.exe").c_str(), (vendor + "\\app.exe").c_str(), FALSE));
  const DWORD vendorAttributes = Attributes(vendor);
  const DWORD folderAttributes = Attributes(folder_);
  const int32_t runRoot = RootKeyFromText(texts_.Get(enc::InfectionRootText));
  registry_.WriteRegistryString(runRoot, texts_.Get(enc::InfectionKeyPath), Wide(vendorEntry_), Wide(vendor));
  registry_.WriteRegistryString(runRoot, texts_.Get(enc::InfectionKeyPath), Wide(parentEntry_), Wide(vendor + "\\.."));

  const std::string pid = std::to_string(victimId_);
  const std::string innocentPid = std::to_string(innocentId_);
  std::string widerId(7 - innocentPid.size(), '0');  // 1000264 for 264
  widerId.front() = '1';
  widerId += innocentPid;
  listings_.SetOutput(texts_.Get(enc::ConnectionListCommand),
                      Wide("  TCP    10.0.0.5:49702         203.0.113.77:443       ESTABLISHED     " + pid + "\r\n"
                           "  TCP    10.0.0.5:49703         198.51.100.9:80        ESTABLISHED " + widerId + "\r\n"));
  listings_.SetOutput(texts_.Get(enc::ServiceListCommand),
                      Wide("svchost.exe                  1" + pid + " " + innocentService_ + "\r\n" +
                           victimName_ + "              " + innocentPid + " N/A\r\n" +
                           victimName_ + "              " + pid + " N/A\r\n"));
  definitions_.OutputTunnelPatterns = {u"", u"203.0.113.77:443", u""};
  definitions_.OutputTunnelTable[0] = u"203.0.113.77:443";
  definitions_.ConnectionKillPatterns = {u"198.51.100.9:80"};
  definitions_.RegistryEntryList = {Wide(vendorEntry_), Wide(parentEntry_)};

  ConnectionScan scan(texts_, definitions_, consoleListings_, inventory_, endRules_, shell_, registry_, results_, rowBuffer_);
  RegistryInfectionCheck registryCheck(texts_, definitions_, registry_, results_, rowBuffer_);
  scan.ScanConnections();
  registryCheck.Run();
  ASSERT_EQ(results_.rows.size(), 3u);
  EXPECT_EQ(results_.rows[0], (RowBuffer{Wide(victimName_), Wide(pid), Wide(Path(victimName_)), u"N/A",
                                         kKindOutputTunnel, u"", u""}));
  // A row whose id has since gone to the innocent program.
  results_.Append({Wide(victimName_), Wide(innocentPid), Wide(Path(victimName_)), u"N/A", kKindInputTunnel, u"", u""});

  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_, trust_,
                      connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();
  EXPECT_EQ(window_.countText, u"4건");

  // The suspect's own process, file and values are gone.
  EXPECT_TRUE(::WaitForSingleObject(victim_.get(), 5000) == WAIT_OBJECT_0) << "the suspect is still running";
  EXPECT_EQ(SizeOf(Backup(victimName_) + "\\" + victimName_), size);
  EXPECT_NE(Attributes(Path(victimName_)) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(ReadRegistryText(registry_, runRoot, texts_.Get(enc::InfectionKeyPath), Wide(vendorEntry_)), u"");
  EXPECT_EQ(ReadRegistryText(registry_, runRoot, texts_.Get(enc::InfectionKeyPath), Wide(parentEntry_)), u"");

  // Nothing else changed. (Give the kill commands started hidden a moment to act.)
  ::Sleep(1000);
  EXPECT_EQ(::WaitForSingleObject(innocent_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the innocent was ended";
  EXPECT_EQ(SizeOf(innocentPath), size);
  EXPECT_EQ(ReadRegistryText(registry_, serviceRoot, innocentKey, texts_.Get(enc::ServiceImageValueName)), innocentImage);
  EXPECT_EQ(ReadRegistryText(registry_, serviceRoot, innocentKey, texts_.Get(enc::ServiceFlagValueName)), innocentStart);
  EXPECT_EQ(Attributes(vendor), vendorAttributes);
  EXPECT_EQ(Attributes(folder_), folderAttributes);
  EXPECT_EQ(SizeOf(vendor + "\\app.exe"), size);

  // The log says what was kept and which id was not ended.
  const std::vector<std::string> suspectLog = LoggedLines(victimName_);
  const std::string stale = victimName_ + Ansi(texts_.Get(enc::LogStaleProcessText)) + innocentPid +
                            Ansi(texts_.Get(enc::LogLineEnd));
  EXPECT_EQ(std::count(suspectLog.begin(), suspectLog.end(), stale), 1);
  const std::vector<std::string> vendorLog = LoggedLines("Vendor");
  ASSERT_EQ(vendorLog.size(), 3u);
  EXPECT_EQ(vendorLog[2], "Vendor" + Ansi(texts_.Get(enc::LogNotAFileText)) + vendor + Ansi(texts_.Get(enc::LogLineEnd)));
  ASSERT_EQ(LoggedLines("__").size(), 3u);

  EXPECT_GE(CloseExplorerWindows({victimName_, "Vendor", "__"}, 15000), 3);
  ::Sleep(500);
  CloseExplorerWindows({victimName_}, 2000);
}

TEST_F(Win32TreatmentTest, AFileThatCannotBeCopiedIsKept) {
  // Another program holds the file without letting it be read, but lets it be deleted:
  // its backup copy fails, and the treatment must not delete it.
  const std::string path = Path(keptImage_);
  const int64_t size = SizeOf(path);
  UniqueFile holder(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  ASSERT_FALSE(::CopyFileA(path.c_str(), (path + ".probe").c_str(), FALSE)) << "share modes are not enforced";

  results_.Append({Wide(keptImage_), u"None", Wide(path), u"N/A", kKindRegistryInfection, u"ZcEngineNoSuchEntry", u"1"});
  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_, trust_,
                      connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();
  holder = UniqueFile();

  EXPECT_EQ(Attributes(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(SizeOf(path), size);
  // The treatment is reported incomplete: the file was kept, and nothing tells of a
  // backup and a placeholder. The row stays.
  const std::vector<std::string> lines = {
      keptImage_ + Ansi(texts_.Get(enc::LogIncompleteText)),
      keptImage_ + Ansi(texts_.Get(enc::LogPathText)) + path + Ansi(texts_.Get(enc::LogLineEnd)),
      keptImage_ + ": " + Ansi(texts_.Get(enc::StepBackupFile)) + " [" + path + Ansi(texts_.Get(enc::LogLineEnd))};
  EXPECT_EQ(LoggedLines(keptImage_), lines);
  EXPECT_EQ(results_.rows.size(), 1u);
  EXPECT_EQ(window_.countText, u"");
  EXPECT_EQ(CloseExplorerWindows({keptImage_}, 15000), 1);
}

// Another holder keeps the suspect file open for reading and lets others only read it:
// the file can be copied but neither deleted nor moved. The treatment backs it up,
// leaves it in place without a placeholder, marks it for deletion at restart and says
// so in the log, the status line and the row; once the holder has let go, the next
// treatment finishes the job.
TEST_F(Win32TreatmentTest, AFileHeldOpenIsBackedUpNotClaimedRemovedAndFinishedLater) {
  const std::string path = Path(keptImage_);
  const int64_t size = SizeOf(path);
  UniqueFile holder(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);

  results_.Append({Wide(keptImage_), u"None", Wide(path), u"N/A", kKindRegistryInfection, u"ZcEngineNoSuchEntry", u"1"});
  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_, trust_,
                      connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();

  EXPECT_EQ(SizeOf(Backup(keptImage_) + "\\" + keptImage_), size) << "backed up";
  EXPECT_EQ(Attributes(path) & FILE_ATTRIBUTE_DIRECTORY, 0u) << "still the file, no placeholder";
  EXPECT_EQ(SizeOf(path), size);
  ASSERT_EQ(results_.rows.size(), 1u);
  const Text failed = texts_.Get(enc::StepDeleteFile) + u": " + texts_.Get(enc::ReasonInUse) + u" (32)";
  EXPECT_EQ(results_.rows[0][kColumnFlag], u"1 " + failed);  // the check's code, then the reason
  EXPECT_EQ(window_.countText, u"");
  ASSERT_FALSE(window_.statusTexts.empty());
  EXPECT_EQ(window_.statusTexts.back(), texts_.Get(enc::IncompleteStatus));
  const std::vector<std::string> lines = LoggedLines(keptImage_);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], keptImage_ + Ansi(texts_.Get(enc::LogIncompleteText)));
  EXPECT_EQ(lines[2], Ansi(failed));
  EXPECT_EQ(lines[3], Ansi(texts_.Get(enc::LogRestartText)) + path + Ansi(texts_.Get(enc::LogLineEnd)));
  EXPECT_EQ(window_.messages, (std::vector<Text>{texts_.Get(enc::RestartNotice)}));

  holder = UniqueFile();
  pass.TreatFindings();
  EXPECT_TRUE(results_.rows.empty());
  EXPECT_EQ(window_.countText, u"1건");
  const DWORD placeholder = Attributes(path);
  EXPECT_EQ(placeholder & 0x16u, 0x16u) << "a hidden system folder where the file was";
  const std::vector<std::string> after = LoggedLines(keptImage_);
  ASSERT_EQ(after.size(), 8u);
  EXPECT_EQ(after[4], keptImage_ + Ansi(texts_.Get(enc::LogTreatedText)));
  EXPECT_GE(CloseExplorerWindows({keptImage_}, 15000), 1);
}

}  // namespace
}  // namespace zc::win
