#include "core/engine/treatment_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/engine/backup_copy.h"
#include "core/engine/finding_processes.h"
#include "core/machine/registry_values.h"
#include "core/restore/record_reader.h"
#include "tests/fakes/fake_recording.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHkcu;
using testing::kHklm;

constexpr uint32_t kPlaceholder = kAttributeDirectory | kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

// A fake machine with one suspect: evil.exe, process 4120, running C:\Temp\evil.exe.
struct Bench {
  Bench() {
    w.files.AddFolder(u"C:\\Temp");
    w.files.AddFile(u"C:\\Temp\\evil.exe", "MZ evil");
    w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    w.processes.AddDrive(u"D:\\", u"\\Device\\HarddiskVolume10");
    RunImage(4120, u"C:\\Temp\\evil.exe");
    RunImage(100, u"C:\\Apps\\ZombieCure.exe");  // a snapshot always lists the program itself
  }

  // Starts a fake process of the image at `drivePath` (C: or D:).
  void RunImage(uint32_t id, TextView drivePath, bool openable = true) {
    const Text device = drivePath[0] == u'C' ? u"\\Device\\HarddiskVolume1" : u"\\Device\\HarddiskVolume10";
    const Text path(drivePath);
    w.processes.AddProcess(id, path.substr(path.rfind(u'\\') + 1), device + path.substr(2), openable);
  }

  void AddRow(TextView name, TextView id, TextView path, TextView detail, TextView kind, TextView entry = u"",
              TextView flag = u"") {
    w.results.Append({Text(name), Text(id), Text(path), Text(detail), Text(kind), Text(entry), Text(flag)});
  }
  void AddEvilProcessRow(TextView detail = u"N/A") {
    AddRow(u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", detail, kKindOutputTunnel);
  }

  Text Folder(TextView name) const { return w.T(enc::BackupPrefix) + Text(name); }
  Text LogFolder(TextView name) const { return Folder(name) + u"\\"; }
  Text ServiceQuery(TextView service) const { return w.T(enc::ServiceQueryCommand) + u"\"" + Text(service) + u"\""; }
  Text ServiceFinal(TextView service) const { return w.T(enc::ServiceFinalCommand) + u"\"" + Text(service) + u"\""; }
  Text Explorer(TextView name) const { return u"explorer.exe \"" + Folder(name) + u"\""; }
  std::vector<Text> StandardLines(TextView name, TextView path) const {
    return {Text(name) + w.T(enc::LogTreatedText),
            Text(name) + w.T(enc::LogPathText) + Text(path) + w.T(enc::LogLineEnd), w.T(enc::LogClosingFirst),
            w.T(enc::LogClosingSecond)};
  }
  bool IsPlaceholder(TextView path) const {
    const auto* e = w.files.Find(path);
    return e && e->isFolder && e->attributes == kPlaceholder;
  }
  std::string Content(TextView path) const {
    const auto* e = w.files.Find(path);
    return e && !e->isFolder ? e->content : "<none>";
  }

  EngineWorld w;
  fakes::FakeRecording recording{w.texts};
  TreatmentRecorder& recorder = recording.recorder;
  TreatmentPass pass{w.texts, w.results, w.view,      w.log,      w.files,
                     w.shell, w.console, w.processes, w.registry, recorder};
};

class TreatmentPassTest : public ::testing::Test, public Bench {};

TEST_F(TreatmentPassTest, AProcessWithoutServicesIsEndedBackedUpAndBlocked) {
  AddEvilProcessRow();
  pass.TreatFindings();

  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")), StandardLines(u"evil.exe", u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(w.log.lines.size(), 4u);
  EXPECT_EQ(w.shell.launches, (std::vector<std::pair<Text, WindowState>>{
                                  {u"taskkill /f /im \"evil.exe\"", WindowState::Hidden},
                                  {Explorer(u"evil.exe"), WindowState::NormalFocused}}));
  EXPECT_EQ(w.view.statusTexts,
            (std::vector<Text>{w.T(enc::ProcessStatusLead) + u"evil.exe" + w.T(enc::ProcessStatusTail),
                               w.T(enc::BackupDoneStatus), w.T(enc::AttributeStatus), w.T(enc::DeleteStatus)}));
  EXPECT_EQ(w.view.delayedSeconds, 6);
  EXPECT_TRUE(w.view.messages.empty());
  EXPECT_TRUE(w.console.calls.empty());
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(pass.TreatedCount(), 1);
  EXPECT_EQ(w.view.treatedCountText, u"1건");
  EXPECT_EQ(pass.CurrentBackupFolder(), Folder(u"evil.exe"));
}

TEST_F(TreatmentPassTest, EveryRowIsDeletedAndCountedAcrossPasses) {
  w.files.AddFile(u"C:\\Temp\\empty.exe", "");
  RunImage(77, u"C:\\Temp\\empty.exe");
  AddRow(u"None", u"None", u"C:\\x.exe", u"Svc", kKindServiceHide);          // nothing to do
  AddRow(u"empty.exe", u"77", u"C:\\Temp\\empty.exe", u"N/A", kKindInputTunnel);  // ends early
  AddRow(u"odd", u"1", u"C:\\Temp\\evil.exe", u"N/A", u"unknown kind");       // untreated
  pass.TreatFindings();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(w.view.treatedCountText, u"3건");
  // Nothing of the service row or the odd row happened; the empty file's row ended
  // after the kill, without backup or log.
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{77}));
  EXPECT_TRUE(w.log.lines.empty());
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");
  EXPECT_EQ(Content(u"C:\\Temp\\empty.exe"), "");

  for (int i = 0; i < 3; ++i) AddRow(u"None", u"None", u"None", u"Svc", kKindServiceHide);
  pass.TreatFindings();
  EXPECT_EQ(pass.TreatedCount(), 6);
  EXPECT_EQ(w.view.treatedCountText, u"6건");
}

TEST_F(TreatmentPassTest, AnEmptyListOnlyEmptiesTheBackupFolder) {
  AddEvilProcessRow();
  pass.TreatFindings();
  pass.TreatFindings();
  EXPECT_EQ(pass.CurrentBackupFolder(), u"");
  EXPECT_EQ(pass.TreatedCount(), 1);
}

TEST_F(TreatmentPassTest, ADetailOfNotApplicableWithBlanksMeansNoService) {
  AddEvilProcessRow(u"  N/A ");
  pass.TreatFindings();
  EXPECT_TRUE(w.console.calls.empty());
  EXPECT_TRUE(w.view.messages.empty());
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  EXPECT_EQ(w.log.lines.size(), 4u);
}

TEST_F(TreatmentPassTest, AMissingImageFileStillGetsThePlaceholderAndTheLog) {
  RunImage(4124, u"C:\\Temp\\gone.exe");
  AddRow(u"gone.exe", u"4124", u"C:\\Temp\\gone.exe", u"N/A", kKindOutputTunnel);
  pass.TreatFindings();
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4124}));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\gone.exe"));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"gone.exe")), StandardLines(u"gone.exe", u"C:\\Temp\\gone.exe"));
  EXPECT_EQ(w.view.delayedSeconds, 6);
  // No backup was made, and the status line does not say there was one.
  EXPECT_EQ(w.view.statusTexts[1], w.T(enc::NoFileStatus));
}

TEST_F(TreatmentPassTest, AServiceHostThatIsNotRunningIsDisabledButNotEnded) {
  AddEvilProcessRow(u"EvilSvc");
  w.console.SetOutput(ServiceQuery(u"EvilSvc"), u"SERVICE_NAME: EvilSvc\r\n        STATE              : 1  STOPPED\r\n");
  pass.TreatFindings();

  EXPECT_EQ(w.console.calls, (std::vector<Text>{ServiceQuery(u"EvilSvc")}));
  ASSERT_EQ(w.view.messages.size(), 1u);
  EXPECT_EQ(w.view.messages[0].text, w.T(enc::ServiceHostNotice));
  EXPECT_EQ(w.view.messages[0].title, w.T(enc::MessageTitle));
  EXPECT_EQ(w.view.messages[0].icon, MessageIcon::Information);
  const auto flag = w.registry.Stored(kHklm, w.T(enc::ServiceKeyPrefix) + u"EvilSvc", w.T(enc::ServiceFlagValueName));
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ(flag->type, 4u);
  EXPECT_EQ(std::get<int32_t>(flag->value), 4);
  EXPECT_TRUE(w.processes.terminated.empty());
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{Explorer(u"evil.exe")}));
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");
  std::vector<Text> lines = StandardLines(u"evil.exe", u"C:\\Temp\\evil.exe");
  lines.insert(lines.begin() + 1, u"evil.exe" + w.T(enc::LogServiceText) + u"EvilSvc" + w.T(enc::LogLineEnd));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")), lines);
  EXPECT_EQ(w.view.delayedSeconds, 3);
}

TEST_F(TreatmentPassTest, AKillMarkerWinsOverTheExitMarker) {
  AddEvilProcessRow(u"EvilSvc");
  w.console.SetOutput(ServiceQuery(u"EvilSvc"), w.T(enc::ExitMarker) + u"\r\nSTATE : 4  " + w.T(enc::KillMarker1));
  pass.TreatFindings();
  EXPECT_FALSE(w.view.ended);
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_EQ(w.shell.launches, (std::vector<std::pair<Text, WindowState>>{
                                  {u"taskkill /f /im \"evil.exe\"", WindowState::Hidden},
                                  {ServiceFinal(u"EvilSvc"), WindowState::MinimizedFocused},
                                  {Explorer(u"evil.exe"), WindowState::NormalFocused}}));
  EXPECT_EQ(w.log.lines.size(), 5u);
  EXPECT_EQ(w.view.delayedSeconds, 9);
  EXPECT_EQ(pass.TreatedCount(), 1);
}

TEST_F(TreatmentPassTest, EveryKillMarkerEndsTheHost) {
  for (const TextView marker : {enc::KillMarker1, enc::KillMarker2, enc::KillMarker3, enc::KillMarker4}) {
    EngineWorld world;
    world.files.AddFolder(u"C:\\Temp");
    world.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    world.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
    TreatmentPass p{world.texts, world.results, world.view, world.log, world.files,
                    world.shell, world.console, world.processes, world.registry, recorder};
    world.results.Append({u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindOutputTunnel, u"", u""});
    world.console.SetOutput(ServiceQuery(u"EvilSvc"), u"STATE : x  " + world.T(marker) + u"\r\n");
    p.TreatFindings();
    EXPECT_EQ(world.processes.terminated, (std::vector<int32_t>{4120})) << ToUtf8(world.T(marker));
  }
}

// The record is told what each destructive step is about to change, before the step:
// the process, the service's Start value (still 2) and configuration, the file.
TEST_F(TreatmentPassTest, AServiceHostIsRecordedStepByStepBeforeItIsTreated) {
  w.files.AddFolder(u"C:\\Temp");
  w.files.AddFile(u"C:\\Temp\\evil.exe", "MZ");
  w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
  w.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
  w.results.Append({u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindOutputTunnel, u"", u""});
  w.console.SetOutput(ServiceQuery(u"EvilSvc"), u"STATE : 4  " + w.T(enc::KillMarker1) + u"\r\n");
  const Text folder = w.T(enc::BackupPrefix) + u"evil.exe";
  recording.files.AddFolder(w.T(enc::BackupRoot));
  recording.files.AddFolder(folder);
  const int32_t machine = RootKeyFromText(w.T(enc::ServiceRootText));
  recording.registry.Set(machine, w.T(enc::ServiceKeyPrefix) + u"EvilSvc", u"Start", {4, {2, 0, 0, 0}});
  ServiceConfig config;
  config.name = u"EvilSvc";
  config.imagePath = u"C:\\Temp\\evil.exe";
  recording.services.Add(config);

  pass.TreatFindings();
  const RecordReading reading =
      ReadTreatmentRecord(recording.files.Content(TreatmentRecorder::RecordPath(w.texts, folder)));
  ASSERT_TRUE(reading.faults.empty());
  ASSERT_EQ(reading.treatments.size(), 1u);
  EXPECT_EQ(reading.treatments[0].name, u"evil.exe");
  EXPECT_EQ(reading.treatments[0].kind, kKindOutputTunnel);
  const std::vector<TreatmentStep>& steps = reading.treatments[0].steps;
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(std::get<ServiceStartStep>(steps[0]), (ServiceStartStep{u"EvilSvc", 2u}));
  EXPECT_EQ(std::get<EndedProcessStep>(steps[1]), (EndedProcessStep{u"evil.exe", 4120, u"C:\\Temp\\evil.exe"}));
  EXPECT_EQ(std::get<FileStep>(steps[2]).originalPath, u"C:\\Temp\\evil.exe");
  EXPECT_EQ(std::get<ServiceDeleteStep>(steps[3]).config, config);
}

TEST_F(TreatmentPassTest, TheExitMarkerEndsTheProgramAndLeavesTheRows) {
  AddEvilProcessRow(u"EvilSvc");
  AddRow(u"None", u"None", u"None", u"Svc", kKindServiceHide);
  w.console.SetOutput(ServiceQuery(u"EvilSvc"), u"[SC] OpenService " + w.T(enc::ExitMarker) + u"\r\n");
  pass.TreatFindings();
  EXPECT_TRUE(w.view.ended);
  ASSERT_EQ(w.view.messages.size(), 2u);
  EXPECT_EQ(w.view.messages[1].text, w.T(enc::ExitNotice));
  EXPECT_EQ(w.results.rows.size(), 2u);
  EXPECT_EQ(pass.TreatedCount(), 0);
  EXPECT_EQ(w.view.treatedCountText, u"0건");
  EXPECT_TRUE(w.log.lines.empty());
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");
}

TEST_F(TreatmentPassTest, AHiddenServiceIsStoppedBackedUpBlockedAndDeleted) {
  w.files.AddFolder(u"C:\\Windows");
  w.files.AddFile(u"C:\\Windows\\svc.exe", "MZ svc", kAttributeReadOnly);
  AddRow(u"svc.exe", u"None", u"C:\\Windows\\svc.exe", u"EvilSvc", kKindServiceHide);
  pass.TreatFindings();
  // Its image lies in the Windows folder: nothing is ended by name.
  EXPECT_EQ(w.shell.launches, (std::vector<std::pair<Text, WindowState>>{
                                  {w.T(enc::ServiceHideCommand) + u"\"EvilSvc\"", WindowState::MinimizedFocused},
                                  {ServiceFinal(u"EvilSvc"), WindowState::MinimizedFocused},
                                  {Explorer(u"svc.exe"), WindowState::NormalFocused}}));
  EXPECT_EQ(Content(Folder(u"svc.exe") + u"\\svc.exe"), "MZ svc");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Windows\\svc.exe"));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"svc.exe")), StandardLines(u"svc.exe", u"C:\\Windows\\svc.exe"));
  EXPECT_EQ(w.view.delayedSeconds, 9);
}

TEST_F(TreatmentPassTest, AHiddenServiceWithoutPathIsStoppedAndLogged) {
  AddRow(u"svc.exe", u"None", u"None", u"EvilSvc", kKindServiceHide);
  pass.TreatFindings();
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{w.T(enc::ServiceHideCommand) + u"\"EvilSvc\"",
                                                       u"taskkill /f /im \"svc.exe\"", Explorer(u"svc.exe")}));
  EXPECT_EQ(w.log.lines.size(), 4u);
  EXPECT_FALSE(w.files.Find(u"None"));
}

TEST_F(TreatmentPassTest, ARegistryValueIsDeletedFromBothRoots) {
  const Text key = w.T(enc::InfectionKeyPath);
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\Temp\\evil.exe");
  w.registry.SetText(kHkcu, key, u"Keep", u"C:\\keep.exe");
  w.registry.CreateKey(kHklm, key);
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  pass.TreatFindings();
  EXPECT_FALSE(w.registry.Stored(kHkcu, key, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHkcu, key, u"Keep").has_value());
  EXPECT_EQ(w.registry.deleteCalls, 2);
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{u"taskkill /f /im \"evil.exe\"", Explorer(u"evil.exe")}));
  EXPECT_EQ(w.log.lines.size(), 4u);
  EXPECT_EQ(w.view.delayedSeconds, 6);
}

TEST_F(TreatmentPassTest, FindingsOfOneNameShareTheFolderAndKeepEveryCopy) {
  w.files.AddFolder(u"C:\\Other");
  w.files.AddFile(u"C:\\Other\\evil.exe", "MZ other");
  AddEvilProcessRow();
  AddRow(u"evil.exe", u"None", u"C:\\Other\\evil.exe", u"N/A", kKindRegistryInfection, u"Run1", u"1");
  pass.TreatFindings();
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe (2)"), "MZ other");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Other\\evil.exe"));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")).size(), 8u);
  EXPECT_EQ(w.log.lines.size(), 8u);
}

TEST_F(TreatmentPassTest, AFileWithoutAWholeBackupIsNeverRemoved) {
  struct Case {
    const char* what;
    void (*breakBackup)(EngineWorld&, const Text& folder);
  };
  const Case cases[] = {
      {"copy fails", [](EngineWorld& world, const Text& folder) { world.files.failingPaths.insert(folder + u"\\evil.exe"); }},
      {"short copy", [](EngineWorld& world, const Text&) { world.files.copyTruncateTo = 2; }},
      {"no backup folder", [](EngineWorld& world, const Text& folder) { world.files.failingPaths.insert(folder); }},
  };
  for (const Case& c : cases) {
    EngineWorld world;
    world.files.AddFolder(u"C:\\Temp");
    world.files.AddFile(u"C:\\Temp\\evil.exe", "MZ evil", kAttributeReadOnly);
    world.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    world.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
    c.breakBackup(world, world.T(enc::BackupPrefix) + u"evil.exe");
    TreatmentPass p{world.texts, world.results, world.view, world.log, world.files,
                    world.shell, world.console, world.processes, world.registry, recorder};
    world.results.Append({u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"N/A", kKindOutputTunnel, u"", u""});
    p.TreatFindings();

    const auto* original = world.files.Find(u"C:\\Temp\\evil.exe");
    ASSERT_TRUE(original && !original->isFolder) << c.what;
    EXPECT_EQ(original->content, "MZ evil") << c.what;
    EXPECT_EQ(original->attributes, kAttributeReadOnly) << c.what;
    // The process is still ended and the row still logged, with a line saying the file
    // was kept in place of the lines that tell of a backup and a placeholder.
    EXPECT_EQ(world.processes.terminated, (std::vector<int32_t>{4120})) << c.what;
    EXPECT_EQ(world.log.LinesOf(world.T(enc::BackupPrefix) + u"evil.exe\\"),
              (std::vector<Text>{
                  u"evil.exe" + world.T(enc::LogTreatedText),
                  u"evil.exe" + world.T(enc::LogPathText) + u"C:\\Temp\\evil.exe" + world.T(enc::LogLineEnd),
                  u"evil.exe" + world.T(enc::LogFileKeptText) + u"C:\\Temp\\evil.exe" + world.T(enc::LogLineEnd)}))
        << c.what;
    EXPECT_EQ(world.view.LastStatus(), world.T(enc::FileKeptStatus)) << c.what;
    EXPECT_EQ(p.TreatedCount(), 1);
  }
}

// A backup root that is a junction (or that cannot be made safe) gets no copy: the
// elevated pass would write wherever it points. The file stays.
TEST_F(TreatmentPassTest, NoCopyGoesIntoABackupRootThatIsAJunction) {
  SecurityFacts junction = fakes::MadeByUser(true);
  junction.reparsePoint = true;
  recording.files.AddFolder(w.T(enc::BackupRoot));
  recording.security.Set(w.T(enc::BackupRoot), junction);
  AddEvilProcessRow();
  pass.TreatFindings();
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "<none>");
  EXPECT_EQ(w.view.LastStatus(), w.T(enc::FileKeptStatus));
}

TEST_F(TreatmentPassTest, AFileThatCannotBeDeletedIsNotMadeHidden) {
  w.files.inUse.insert(u"C:\\Temp\\evil.exe");
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  pass.TreatFindings();
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  const auto* file = w.files.Find(u"C:\\Temp\\evil.exe");
  ASSERT_TRUE(file && !file->isFolder);
  EXPECT_EQ(file->content, "MZ evil");
  EXPECT_EQ(file->attributes & (kAttributeHidden | kAttributeSystem), 0u);
}

TEST_F(TreatmentPassTest, TextsFromTheMachineAddNoArguments) {
  // Blanks stay inside one quoted argument; a quote cannot close it.
  AddRow(u"a.exe", u"1", u"None", u"Bot Svc ", kKindOutputTunnel);
  AddRow(u"b.exe", u"2", u"None", u"x\" /y \"z", kKindOutputTunnel);
  AddRow(u"evil.exe\" /select,C:\\", u"None", u"None", u"Svc\" x", kKindServiceHide);
  w.console.SetOutput(ServiceQuery(u"Bot Svc"), w.T(enc::KillMarker1));
  pass.TreatFindings();
  EXPECT_EQ(w.console.calls, (std::vector<Text>{ServiceQuery(u"Bot Svc")}));
  for (const Text& command : w.shell.CommandLines()) {
    EXPECT_EQ(std::count(command.begin(), command.end(), u'"'), 2) << ToUtf8(command);
  }
  EXPECT_EQ(w.shell.CommandLines(),
            (std::vector<Text>{u"taskkill /f /im \"a.exe\"", ServiceFinal(u"Bot Svc"), Explorer(u"a.exe"),
                               Explorer(u"b.exe"), Explorer(u"evil.exe_ _select,C__")}));
  EXPECT_EQ(pass.TreatedCount(), 3);
}

TEST_F(TreatmentPassTest, AClickDuringAWaitStartsNoSecondPass) {
  AddEvilProcessRow();
  AddRow(u"None", u"None", u"None", u"Svc", kKindServiceHide);
  w.view.onDelay = [this] { pass.TreatFindings(); };
  pass.TreatFindings();
  EXPECT_EQ(pass.TreatedCount(), 2);
  EXPECT_EQ(w.processes.terminated.size(), 1u);
  EXPECT_TRUE(w.results.rows.empty());
}

TEST_F(TreatmentPassTest, AnIdIsEndedOnlyWhileItStillRunsTheFindingsImage) {
  struct Case {
    const char* what;
    const char16_t* rowPath;  // the Path cell; the Name cell is evil.exe
    void (*machine)(Bench&);
    bool ended;
  };
  const Case cases[] = {
      {"same image", u"C:\\Temp\\evil.exe", [](Bench&) {}, true},
      {"same image, other letter case", u"c:\\TEMP\\Evil.EXE", [](Bench&) {}, true},
      {"id now runs another program", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(4120, u"C:\\Apps\\editor.exe"); }, false},
      {"id now runs a same-named program elsewhere", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(4120, u"D:\\Tools\\evil.exe"); }, false},
      {"process has ended", u"C:\\Temp\\evil.exe", [](Bench& t) { t.w.processes.EndProcess(4120); }, false},
      {"image path cannot be read", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(4120, u"C:\\Temp\\evil.exe", /*openable=*/false); }, false},
      // Without a Path the name decides, letter case ignored.
      {"no path, same name", u"", [](Bench& t) { t.RunImage(4120, u"C:\\Temp\\EVIL.exe", false); }, true},
      {"no path, other name", u"", [](Bench& t) { t.RunImage(4120, u"C:\\Temp\\calc.exe", false); }, false},
  };
  for (const Case& c : cases) {
    Bench t;
    c.machine(t);
    t.AddRow(u"evil.exe", u"4120", c.rowPath, u"N/A", kKindOutputTunnel);
    t.pass.TreatFindings();
    const bool ended = std::count(t.w.processes.terminated.begin(), t.w.processes.terminated.end(), 4120) != 0;
    EXPECT_EQ(ended, c.ended) << c.what;
    const Text stale = u"evil.exe" + t.w.T(enc::LogStaleProcessText) + u"4120" + t.w.T(enc::LogLineEnd);
    const std::vector<Text> lines = t.w.log.LinesOf(t.LogFolder(u"evil.exe"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), stale), c.ended ? 0 : 1) << c.what;
  }
}

TEST_F(TreatmentPassTest, AServiceHostWithAStaleIdIsNotEnded) {
  RunImage(4120, u"C:\\Apps\\editor.exe");
  AddEvilProcessRow(u"EvilSvc");
  w.console.SetOutput(ServiceQuery(u"EvilSvc"), u"STATE : 4  " + w.T(enc::KillMarker1));
  pass.TreatFindings();
  EXPECT_TRUE(w.processes.terminated.empty());
  EXPECT_TRUE(w.processes.processes.count(4120));
  const std::vector<Text> lines = w.log.LinesOf(LogFolder(u"evil.exe"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], u"evil.exe" + w.T(enc::LogStaleProcessText) + u"4120" + w.T(enc::LogLineEnd));
}

TEST_F(TreatmentPassTest, EndingByNameEndsOnlyTheFindingsOwnCopies) {
  struct Case {
    const char* what;
    const char16_t* rowPath;
    void (*machine)(Bench&);
    bool taskkill;                    // taskkill /f /im "evil.exe" started
    std::vector<int32_t> terminated;  // ids ended directly: the row's id first
  };
  const Case cases[] = {
      {"no copy runs", u"C:\\Temp\\evil.exe",
       [](Bench& t) {
         t.w.processes.EndProcess(4120);
         t.RunImage(7000, u"C:\\Apps\\editor.exe");
       },
       true, {}},
      {"only the suspect's copies", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(5000, u"C:\\Temp\\evil.exe"); }, true, {4120}},
      {"same name in another folder", u"C:\\Temp\\evil.exe",
       [](Bench& t) {
         t.RunImage(5000, u"C:\\Temp\\evil.exe");
         t.RunImage(6000, u"D:\\Tools\\evil.exe");
       },
       false, {4120, 5000}},
      {"same name in the Windows folder", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(6000, u"C:\\Windows\\System32\\evil.exe"); }, false, {4120}},
      {"same name whose image cannot be read", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(6000, u"C:\\Temp\\evil.exe", /*openable=*/false); }, false, {4120}},
      // The suspect itself in the Windows folder: ended by its id, never by name.
      {"suspect in the Windows folder", u"C:\\WINDOWS\\evil.exe",
       [](Bench& t) {
         t.RunImage(4120, u"C:\\Windows\\evil.exe");
         t.RunImage(5000, u"C:\\Windows\\evil.exe");
       },
       false, {4120}},
      {"no process snapshot", u"C:\\Temp\\evil.exe", [](Bench& t) { t.w.processes.failSnapshots = true; }, false,
       {4120}},
      {"Windows folder unknown", u"C:\\Temp\\evil.exe",
       [](Bench& t) {
         t.w.processes.windowsFolder.clear();
         t.RunImage(5000, u"C:\\Temp\\evil.exe");
       },
       false, {4120}},
  };
  for (const Case& c : cases) {
    Bench t;
    c.machine(t);
    const std::map<uint32_t, fakes::FakeProcesses::Process> before = t.w.processes.processes;
    t.AddRow(u"evil.exe", u"4120", c.rowPath, u"N/A", kKindOutputTunnel);
    t.pass.TreatFindings();
    const std::vector<Text> commands = t.w.shell.CommandLines();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), u"taskkill /f /im \"evil.exe\""), c.taskkill ? 1 : 0)
        << c.what;
    EXPECT_EQ(t.w.processes.terminated, c.terminated) << c.what;
    // Every process not ended directly still runs (the fake task-kill tool ends nothing).
    for (const auto& [id, process] : before) {
      if (std::count(c.terminated.begin(), c.terminated.end(), static_cast<int32_t>(id)) == 0) {
        EXPECT_TRUE(t.w.processes.processes.count(id)) << c.what << " " << id;
      }
    }
  }
}

TEST_F(TreatmentPassTest, EveryKindEndsByNameOnlyTheFindingsCopies) {
  // A service row and a registry row whose image also runs elsewhere under its name.
  for (const TextView kind : {kKindServiceHide, kKindRegistryInfection}) {
    Bench t;
    t.RunImage(6000, u"D:\\Tools\\evil.exe");
    t.AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", kind == kKindServiceHide ? u"EvilSvc" : u"N/A", kind,
             u"Updater", u"1");
    t.pass.TreatFindings();
    EXPECT_EQ(t.w.processes.terminated, (std::vector<int32_t>{4120})) << ToUtf8(kind);
    EXPECT_TRUE(t.w.processes.processes.count(6000)) << ToUtf8(kind);
    for (const Text& command : t.w.shell.CommandLines()) {
      EXPECT_EQ(command.find(u"taskkill"), Text::npos) << ToUtf8(command);
    }
  }
}

TEST_F(TreatmentPassTest, AnEmptyDetailMeansNoService) {
  for (const char16_t* detail : {u"", u"   "}) {
    Bench t;
    t.AddEvilProcessRow(detail);
    t.pass.TreatFindings();
    EXPECT_TRUE(t.w.console.calls.empty());
    EXPECT_TRUE(t.w.view.messages.empty());
    EXPECT_EQ(t.w.processes.terminated, (std::vector<int32_t>{4120}));
    EXPECT_EQ(t.Content(t.Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
    EXPECT_TRUE(t.IsPlaceholder(u"C:\\Temp\\evil.exe"));
    EXPECT_EQ(t.w.log.LinesOf(t.LogFolder(u"evil.exe")), t.StandardLines(u"evil.exe", u"C:\\Temp\\evil.exe"));
  }
}

TEST_F(TreatmentPassTest, APathThatNamesAFolderIsLeftUntouched) {
  struct Case {
    const char16_t* path;
    const char16_t* name;  // as the checks name it
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Vendor", u"Vendor"},  // an existing folder
      {u"C:\\Program Files\\Vendor\\", u"entry"},
      {u"C:\\Program Files\\Vendor\\..", u".."},
      {u"C:\\Program Files\\Vendor\\.", u"."},
      {u"C:\\Program Files/Vendor/", u"entry"},
      {u"C:\\", u"entry"},
      {u"C:", u"entry"},
      {u"C:\\Missing\\", u"entry"},  // folder form, nothing there
  };
  for (const Case& c : cases) {
    for (const TextView kind : {kKindRegistryInfection, kKindServiceHide, kKindOutputTunnel}) {
      Bench t;
      t.w.files.AddFolder(u"C:\\Program Files");
      t.w.files.AddFolder(u"C:\\Program Files\\Vendor", kAttributeDirectory | kAttributeReadOnly);
      t.w.files.AddFile(u"C:\\Program Files\\Vendor\\app.exe", "MZ app");
      const std::map<Text, fakes::FakeFiles::Entry> before = t.w.files.entries;
      t.RunImage(4130, c.path);
      const Text detail = kind == kKindServiceHide ? u"EvilSvc" : u"N/A";
      const Text id = kind == kKindOutputTunnel ? u"4130" : u"None";
      t.AddRow(c.name, id, c.path, detail, kind, u"Updater", u"1");
      t.pass.TreatFindings();

      const std::string what = ToUtf8(c.path) + " " + ToUtf8(kind);
      // Nothing that was there before changed; only the backup folders were added.
      for (const auto& [key, entry] : before) {
        const auto* now = t.w.files.Find(key);
        ASSERT_TRUE(now) << what << " " << ToUtf8(key);
        EXPECT_EQ(now->attributes, entry.attributes) << what << " " << ToUtf8(key);
        EXPECT_EQ(now->content, entry.content) << what << " " << ToUtf8(key);
      }
      for (const auto& [key, entry] : t.w.files.entries) {
        EXPECT_TRUE(before.count(key) || key.find(FoldCase(t.w.T(enc::BackupRoot))) == 0) << what << " " << ToUtf8(key);
      }
      for (const auto& [operation, path] : t.w.files.operations) {
        EXPECT_TRUE(operation == "mkdir" && path.find(t.w.T(enc::BackupRoot)) == 0) << what << " " << operation;
      }
      const std::vector<Text> lines = t.w.log.LinesOf(t.LogFolder(BackupName(c.name)));
      ASSERT_GE(lines.size(), 2u) << what;
      EXPECT_EQ(lines.back(), Text(c.name) + t.w.T(enc::LogNotAFileText) + c.path + t.w.T(enc::LogLineEnd)) << what;
      EXPECT_EQ(std::count(lines.begin(), lines.end(), t.w.T(enc::LogClosingFirst)), 0) << what;
      EXPECT_EQ(std::count(t.w.view.statusTexts.begin(), t.w.view.statusTexts.end(), t.w.T(enc::BackupDoneStatus)), 0)
          << what;
      EXPECT_EQ(std::count(t.w.view.statusTexts.begin(), t.w.view.statusTexts.end(), t.w.T(enc::FileKeptStatus)), 1)
          << what;
    }
  }
}

TEST(BackupCopyTest, ABackupNameStaysInsideTheBackupRoot) {
  struct Case {
    const char16_t* name;
    const char16_t* plain;
  };
  const Case cases[] = {
      {u"evil.exe", u"evil.exe"},
      {u"a.exe -k netsvcs", u"a.exe -k netsvcs"},
      {u"좀비.exe", u"좀비.exe"},
      {u"..", u"__"},
      {u".", u"_"},
      {u"..//Windows", u"..__Windows"},
      {u"svc.exe\"", u"svc.exe_"},
      {u"C:x", u"C_x"},
      {u"a*b?c<d>e|f\tg", u"a_b_c_d_e_f_g"},
      {u"...x", u"...x"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(BackupName(c.name)), ToUtf8(c.plain)) << ToUtf8(c.name);
}

TEST_F(TreatmentPassTest, ANameThatWouldLeaveTheBackupRootIsMadePlain) {
  w.files.AddFolder(u"C:\\Windows");
  w.files.AddFolder(u"C:\\Temp\\Vendor");
  AddRow(u"..//Windows", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Run1", u"1");
  AddRow(u"..", u"None", u"C:\\Temp\\Vendor\\..", u"N/A", kKindRegistryInfection, u"Run2", u"1");
  pass.TreatFindings();
  EXPECT_EQ(Content(Folder(u"..__Windows") + u"\\..__Windows"), "MZ evil");
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"..__Windows")).size(), 4u);
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"__")).size(), 3u);
  for (const auto& [folder, line] : w.log.lines) {
    EXPECT_EQ(folder.rfind(w.T(enc::BackupPrefix), 0), 0u) << ToUtf8(folder);
    EXPECT_EQ(folder.find(u".."), folder.find(u"..__")) << ToUtf8(folder);
  }
  for (const auto& [operation, path] : w.files.operations) {
    if (operation != "copy") continue;
    EXPECT_EQ(path.rfind(w.T(enc::BackupPrefix), 0), 0u) << ToUtf8(path);
  }
  EXPECT_EQ(pass.CurrentBackupFolder(), Folder(u"__"));
}

TEST(BackupCopyTest, FreeNamesNeverOverwriteAnEarlierCopy) {
  fakes::FakeFiles files;
  files.AddFolder(u"C:\\B");
  EXPECT_EQ(FreeBackupPath(files, u"C:\\B", u"a.exe"), u"C:\\B\\a.exe");
  files.AddFile(u"C:\\B\\a.exe");
  files.AddFile(u"C:\\B\\A.EXE (2)", "", kAttributeHidden);
  EXPECT_EQ(FreeBackupPath(files, u"C:\\B", u"a.exe"), u"C:\\B\\a.exe (3)");
}

}  // namespace
}  // namespace zc
