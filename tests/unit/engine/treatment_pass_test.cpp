#include "core/engine/treatment_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/engine/backup_copy.h"
#include "core/engine/finding_processes.h"
#include "core/machine/registry_values.h"
#include "core/restore/record_reader.h"
#include "tests/fakes/fake_shared_recording.h"
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

  // A service the service manager knows, in `state` (4 running), with its key.
  void AddService(TextView name, uint32_t state = 4) { AddServiceTo(w, name, state); }
  static void AddServiceTo(EngineWorld& world, TextView name, uint32_t state = 4) {
    ServiceConfig config;
    config.name = Text(name);
    world.services.Add(config);
    world.services.states[FoldCase(name)] = state;
    world.registry.CreateKey(kHklm, world.T(enc::ServiceKeyPrefix) + Text(name));
  }
  std::vector<Text> IncompleteLines(TextView name, TextView path, std::vector<Text> failures) const {
    std::vector<Text> lines = {Text(name) + w.T(enc::LogIncompleteText),
                               Text(name) + w.T(enc::LogPathText) + Text(path) + w.T(enc::LogLineEnd)};
    lines.insert(lines.end(), failures.begin(), failures.end());
    return lines;
  }
  Text Failed(TextView step, uint32_t error, TextView reason) const {
    return w.T(step) + u": " + w.T(reason) + u" (" + DecimalText(error) + u")";
  }

  Text Folder(TextView name) const { return w.T(enc::BackupPrefix) + Text(name); }
  Text LogFolder(TextView name) const { return Folder(name) + u"\\"; }
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
  // The recorder reads the machine the pass changes.
  fakes::FakeSharedRecording recording{w.texts, w.registry, w.services};
  TreatmentRecorder& recorder = recording.recorder;
  TreatmentPass pass{w.texts, w.definitions, w.results, w.view, w.log, w.Machine(), recorder};
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
  EXPECT_TRUE(w.services.calls.empty());
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
  EXPECT_TRUE(w.services.calls.empty());
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
  AddService(u"EvilSvc", /*stopped*/ 1);
  pass.TreatFindings();

  ASSERT_EQ(w.view.messages.size(), 1u);
  EXPECT_EQ(w.view.messages[0].text, w.T(enc::ServiceHostNotice));
  EXPECT_EQ(w.view.messages[0].title, w.T(enc::MessageTitle));
  EXPECT_EQ(w.view.messages[0].icon, MessageIcon::Information);
  const auto flag = w.registry.Stored(kHklm, w.T(enc::ServiceKeyPrefix) + u"EvilSvc", w.T(enc::ServiceFlagValueName));
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ(flag->type, 4u);
  EXPECT_EQ(std::get<int32_t>(flag->value), 4);
  EXPECT_TRUE(w.processes.terminated.empty());
  EXPECT_TRUE(w.services.calls.empty());
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{Explorer(u"evil.exe")}));
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");
  // Nothing was backed up or replaced, and the log does not say so.
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")),
            (std::vector<Text>{u"evil.exe" + w.T(enc::LogTreatedText),
                               u"evil.exe" + w.T(enc::LogServiceText) + u"EvilSvc" + w.T(enc::LogLineEnd),
                               u"evil.exe" + w.T(enc::LogPathText) + u"C:\\Temp\\evil.exe" + w.T(enc::LogLineEnd),
                               u"evil.exe" + w.T(enc::LogServiceIdleText) + u"C:\\Temp\\evil.exe" +
                                   w.T(enc::LogLineEnd)}));
  EXPECT_EQ(w.view.delayedSeconds, 3);
  EXPECT_EQ(pass.TreatedCount(), 1);
}

TEST_F(TreatmentPassTest, ARunningServiceHostIsStoppedEndedBackedUpAndDeleted) {
  AddEvilProcessRow(u"EvilSvc");
  AddService(u"EvilSvc");
  pass.TreatFindings();
  EXPECT_FALSE(w.view.ended);
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_EQ(w.services.calls, (std::vector<std::pair<std::string, Text>>{{"stop", u"EvilSvc"}, {"delete", u"EvilSvc"}}));
  EXPECT_FALSE(w.services.Exists(u"EvilSvc"));
  EXPECT_EQ(w.shell.launches, (std::vector<std::pair<Text, WindowState>>{
                                  {u"taskkill /f /im \"evil.exe\"", WindowState::Hidden},
                                  {Explorer(u"evil.exe"), WindowState::NormalFocused}}));
  std::vector<Text> lines = StandardLines(u"evil.exe", u"C:\\Temp\\evil.exe");
  lines.insert(lines.begin() + 1, u"evil.exe" + w.T(enc::LogServiceText) + u"EvilSvc" + w.T(enc::LogLineEnd));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")), lines);
  EXPECT_EQ(w.view.delayedSeconds, 9);
  EXPECT_EQ(pass.TreatedCount(), 1);
}

TEST_F(TreatmentPassTest, OnlyAServiceAtWorkHasItsHostEnded) {
  // Start pending, running, continue pending and paused end the host; stopped, stop
  // pending and pause pending do not.
  for (uint32_t state = 1; state <= 7; ++state) {
    Bench t;
    t.AddEvilProcessRow(u"EvilSvc");
    t.AddService(u"EvilSvc", state);
    t.pass.TreatFindings();
    const bool atWork = state == 2 || state == 4 || state == 5 || state == 7;
    EXPECT_EQ(t.w.processes.terminated.size(), atWork ? 1u : 0u) << state;
    EXPECT_EQ(t.w.services.Exists(u"EvilSvc"), !atWork) << state;
  }
}

// A Detail that names no service the system has: the console listing's own word for
// "none" on a translated system. Several services joined by ", " never count as none.
TEST_F(TreatmentPassTest, ADetailNamingNoServiceIsAProcessWithoutServices) {
  AddRow(u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"해당 없음", kKindOutputTunnel);
  pass.TreatFindings();
  EXPECT_TRUE(w.view.messages.empty());
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  // No service key was made for it.
  EXPECT_FALSE(w.registry.HasKey(kHklm, w.T(enc::ServiceKeyPrefix) + u"해당 없음"));

  Bench t;
  t.AddRow(u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"A, B", kKindOutputTunnel);
  t.pass.TreatFindings();
  EXPECT_TRUE(t.w.processes.terminated.empty());
  EXPECT_FALSE(t.w.registry.HasKey(kHklm, t.w.T(enc::ServiceKeyPrefix) + u"A, B"));
  EXPECT_EQ(t.w.results.rows.size(), 1u);  // not claimed as treated
  EXPECT_EQ(t.pass.TreatedCount(), 0);
}

// The record is told what each destructive step is about to change, before the step:
// the process, the service's Start value (still 2) and configuration, the file.
TEST_F(TreatmentPassTest, AServiceHostIsRecordedStepByStepBeforeItIsTreated) {
  w.files.AddFolder(u"C:\\Temp");
  w.files.AddFile(u"C:\\Temp\\evil.exe", "MZ");
  w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
  w.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
  w.results.Append({u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindOutputTunnel, u"", u""});
  const Text folder = w.T(enc::BackupPrefix) + u"evil.exe";
  recording.files.AddFolder(w.T(enc::BackupRoot));
  recording.files.AddFolder(folder);
  // One machine: the Start value the pass sets to disabled, the service it deletes.
  const int32_t machine = RootKeyFromText(w.T(enc::ServiceRootText));
  w.registry.SetDword(machine, w.T(enc::ServiceKeyPrefix) + u"EvilSvc", u"Start", 2);
  ServiceConfig config;
  config.name = u"EvilSvc";
  config.imagePath = u"C:\\Temp\\evil.exe";
  w.services.Add(config);
  w.services.states[FoldCase(u"EvilSvc")] = 4;

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

TEST_F(TreatmentPassTest, AServiceThatMayNotBeQueriedEndsTheProgramAndLeavesTheRows) {
  AddEvilProcessRow(u"EvilSvc");
  AddService(u"EvilSvc");
  w.services.queryDenied.insert(FoldCase(u"EvilSvc"));
  AddRow(u"None", u"None", u"None", u"Svc", kKindServiceHide);
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
                                  {Explorer(u"svc.exe"), WindowState::NormalFocused}}));
  EXPECT_EQ(w.services.calls, (std::vector<std::pair<std::string, Text>>{{"stop", u"EvilSvc"}, {"delete", u"EvilSvc"}}));
  EXPECT_EQ(Content(Folder(u"svc.exe") + u"\\svc.exe"), "MZ svc");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Windows\\svc.exe"));
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"svc.exe")), StandardLines(u"svc.exe", u"C:\\Windows\\svc.exe"));
  EXPECT_EQ(w.view.delayedSeconds, 9);
}

TEST_F(TreatmentPassTest, AHiddenServiceWithoutPathIsStoppedAndLogged) {
  AddRow(u"svc.exe", u"None", u"None", u"EvilSvc", kKindServiceHide);
  pass.TreatFindings();
  // Without a file there is no image whose copies could be told apart: nothing is
  // ended by name.
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{Explorer(u"svc.exe")}));
  EXPECT_EQ(w.services.calls, (std::vector<std::pair<std::string, Text>>{{"stop", u"EvilSvc"}}));
  // No file was backed up or replaced: the lines that would say so are left out.
  EXPECT_EQ(w.log.lines.size(), 2u);
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

TEST_F(TreatmentPassTest, AUserValueIsRecordedWithItsOwnersHiveAndAnotherUsersStaysInTheirs) {
  // An administrator treats for the person at the keyboard: the value found in that
  // person's hive is deleted there, the administrator's own HKCU is left alone, and the
  // record names whose hive it came from, so a restore writes it back there.
  const Text key = w.T(enc::InfectionKeyPath);
  const Text person = u"S-1-5-21-1-2-3-1001";
  const Text administrator = u"S-1-5-21-1-2-3-500";
  w.registry.SetText(kUsersRoot, person + u"\\" + key, u"Updater", u"C:\\Temp\\evil.exe");
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\Admin\\own.exe");
  pass.SetRunningUserSid(administrator);
  recording.registry.currentUserSid = administrator;
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"4:" + person);
  recording.files.AddFolder(w.T(enc::BackupRoot));
  pass.TreatFindings();
  EXPECT_FALSE(w.registry.Stored(kUsersRoot, person + u"\\" + key, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHkcu, key, u"Updater").has_value());
  EXPECT_TRUE(w.results.rows.empty());

  // A value of the running account's own HKCU is recorded with that account's SID.
  AddRow(u"own.exe", u"None", u"C:\\Admin\\own.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  pass.TreatFindings();
  EXPECT_FALSE(w.registry.Stored(kHkcu, key, u"Updater").has_value());

  std::vector<Text> recordedSids;
  for (const TextView name : {u"evil.exe", u"own.exe"}) {
    const RecordReading reading =
        ReadTreatmentRecord(recording.files.Content(TreatmentRecorder::RecordPath(w.texts, Folder(name))));
    ASSERT_EQ(reading.treatments.size(), 1u);
    for (const TreatmentStep& step : reading.treatments[0].steps) {
      if (const auto* value = std::get_if<RegistryValueStep>(&step); value && value->root == kHkcu)
        recordedSids.push_back(value->userSid);
    }
  }
  EXPECT_EQ(recordedSids, (std::vector<Text>{person, administrator}));
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
    TreatmentPass p{world.texts, world.definitions, world.results, world.view, world.log, world.Machine(), recorder};
    world.results.Append({u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"N/A", kKindOutputTunnel, u"", u""});
    p.TreatFindings();

    const auto* original = world.files.Find(u"C:\\Temp\\evil.exe");
    ASSERT_TRUE(original && !original->isFolder) << c.what;
    EXPECT_EQ(original->content, "MZ evil") << c.what;
    EXPECT_EQ(original->attributes, kAttributeReadOnly) << c.what;
    // The process is still ended; the treatment is reported incomplete, with a line
    // saying the file was kept and none that tells of a backup and a placeholder.
    EXPECT_EQ(world.processes.terminated, (std::vector<int32_t>{4120})) << c.what;
    const Text kept = u"evil.exe: " + world.T(enc::StepBackupFile) + u" [C:\\Temp\\evil.exe" + world.T(enc::LogLineEnd);
    EXPECT_EQ(world.log.LinesOf(world.T(enc::BackupPrefix) + u"evil.exe\\"),
              (std::vector<Text>{
                  u"evil.exe" + world.T(enc::LogIncompleteText),
                  u"evil.exe" + world.T(enc::LogPathText) + u"C:\\Temp\\evil.exe" + world.T(enc::LogLineEnd), kept}))
        << c.what;
    EXPECT_EQ(world.view.LastStatus(), world.T(enc::IncompleteStatus)) << c.what;
    EXPECT_EQ(p.TreatedCount(), 0) << c.what;
    ASSERT_EQ(world.results.rows.size(), 1u) << c.what;
    EXPECT_EQ(world.results.rows[0][kColumnFlag], kept) << c.what;
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
  EXPECT_EQ(w.results.rows.size(), 1u);  // not treated whole: the row stays
}

TEST_F(TreatmentPassTest, TextsFromTheMachineAddNoArguments) {
  // Blanks stay inside one quoted argument; a quote cannot close it.
  AddRow(u"a.exe", u"1", u"None", u"Bot Svc ", kKindOutputTunnel);
  AddRow(u"evil.exe\" /select,C:\\", u"None", u"None", u"Svc\" x", kKindServiceHide);
  AddService(u"Bot Svc ");
  pass.TreatFindings();
  for (const Text& command : w.shell.CommandLines()) {
    EXPECT_EQ(std::count(command.begin(), command.end(), u'"'), 2) << ToUtf8(command);
  }
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{u"taskkill /f /im \"a.exe\"", Explorer(u"a.exe"),
                                                       Explorer(u"evil.exe_ _select,C__")}));
  // Service names reach the service manager whole, as one name each.
  EXPECT_EQ(w.services.calls, (std::vector<std::pair<std::string, Text>>{
                                  {"stop", u"Bot Svc "}, {"delete", u"Bot Svc "}, {"stop", u"Svc\" x"}}));
  EXPECT_EQ(pass.TreatedCount(), 2);
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
  AddService(u"EvilSvc");
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
      // The tool is started by name, and each copy is ended by id as well, so that its
      // end is waited for and known.
      {"only the suspect's copies", u"C:\\Temp\\evil.exe",
       [](Bench& t) { t.RunImage(5000, u"C:\\Temp\\evil.exe"); }, true, {4120, 5000}},
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
    EXPECT_TRUE(t.w.services.calls.empty());
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

// Every step that fails is named in the log with its reason and number, keeps the row
// (its last cell says why), is not counted, and no closing line claims a backup and a
// placeholder; the status line says the treatment is incomplete.
TEST_F(TreatmentPassTest, AFailedStepKeepsTheRowAndIsReportedAsItIs) {
  struct Case {
    const char* what;
    void (*machine)(Bench&);
    const char16_t* detail;
    TextView step;
    uint32_t error;
    TextView reason;
    bool fileStays;
  };
  const Case cases[] = {
      {"process refuses to end", [](Bench& t) { t.w.processes.unkillable[4120] = SystemError::AccessDenied; }, u"N/A",
       enc::StepEndProcess, 5, enc::ReasonAccessDenied, false},
      // An elevated token that does not hold the debug privilege: a policy took it.
      {"process may not be opened without the debug privilege",
       [](Bench& t) { t.w.processes.unkillable[4120] = SystemError::PrivilegeNotHeld; }, u"N/A", enc::StepEndProcess,
       1314, enc::ReasonDebugPrivilegeRemoved, false},
      {"file held open without delete sharing", [](Bench& t) { t.w.files.lockedOpen.insert(u"C:\\Temp\\evil.exe"); },
       u"N/A", enc::StepDeleteFile, 32, enc::ReasonInUse, true},
      {"delete reported done, file stays",
       [](Bench& t) { t.w.files.deletePending.insert(u"C:\\Temp\\evil.exe"); }, u"N/A", enc::StepDeleteFile, 0,
       enc::ReasonStillThere, true},
      {"service will not stop",
       [](Bench& t) {
         t.AddService(u"EvilSvc");
         t.w.services.stopRefusals[u"evilsvc"] = SystemError::DependentServicesRunning;
       },
       u"EvilSvc", enc::StepStopService, 1051, enc::ReasonDependents, false},
      {"service may not be deleted",
       [](Bench& t) {
         t.AddService(u"EvilSvc");
         t.w.services.deleteRefusals[u"evilsvc"] = SystemError::AccessDenied;
       },
       u"EvilSvc", enc::StepDeleteService, 5, enc::ReasonAccessDenied, false},
      {"service step refused for a missing privilege: no word of the debug privilege",
       [](Bench& t) {
         t.AddService(u"EvilSvc");
         t.w.services.deleteRefusals[u"evilsvc"] = SystemError::PrivilegeNotHeld;
       },
       u"EvilSvc", enc::StepDeleteService, 1314, enc::ReasonPrivilegeNotHeld, false},
      {"service's Start may not be written",
       [](Bench& t) {
         t.AddService(u"EvilSvc");
         t.w.registry.DenyKey(kHklm, t.w.T(enc::ServiceKeyPrefix) + u"EvilSvc");
       },
       u"EvilSvc", enc::StepDisableService, 5, enc::ReasonAccessDenied, false},
  };
  for (const Case& c : cases) {
    Bench t;
    c.machine(t);
    t.AddEvilProcessRow(c.detail);
    t.pass.TreatFindings();

    Text failed = t.w.T(c.step) + u": " + t.w.T(c.reason);
    if (c.error != 0) failed += u" (" + DecimalText(c.error) + u")";
    ASSERT_EQ(t.w.results.rows.size(), 1u) << c.what;
    EXPECT_EQ(t.w.results.rows[0][kColumnFlag], failed) << c.what;
    EXPECT_EQ(t.w.results.rows[0][kColumnName], u"evil.exe") << c.what;
    EXPECT_EQ(t.pass.TreatedCount(), 0) << c.what;
    EXPECT_EQ(t.pass.IncompleteCount(), 1) << c.what;
    EXPECT_EQ(t.w.view.treatedCountText, u"0건") << c.what;
    EXPECT_EQ(t.w.view.LastStatus(), t.w.T(enc::IncompleteStatus)) << c.what;
    const std::vector<Text> lines = t.w.log.LinesOf(t.LogFolder(u"evil.exe"));
    ASSERT_GE(lines.size(), 3u) << c.what;
    EXPECT_EQ(lines[0], u"evil.exe" + t.w.T(enc::LogIncompleteText)) << c.what;
    EXPECT_NE(std::find(lines.begin(), lines.end(), failed), lines.end()) << c.what;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), t.w.T(enc::LogClosingFirst)), 0) << c.what;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), u"evil.exe" + t.w.T(enc::LogTreatedText)), 0) << c.what;
    if (c.fileStays) {
      EXPECT_EQ(t.Content(u"C:\\Temp\\evil.exe"), "MZ evil") << c.what;
      EXPECT_FALSE(t.IsPlaceholder(u"C:\\Temp\\evil.exe")) << c.what;
      EXPECT_EQ(t.w.files.removedAtRestart, (std::vector<Text>{u"C:\\Temp\\evil.exe"})) << c.what;
      EXPECT_EQ(lines.back(), t.w.T(enc::LogRestartText) + u"C:\\Temp\\evil.exe" + t.w.T(enc::LogLineEnd)) << c.what;
      ASSERT_FALSE(t.w.view.messages.empty()) << c.what;
      EXPECT_EQ(t.w.view.messages.back().text, t.w.T(enc::RestartNotice)) << c.what;
    }
  }
}

TEST_F(TreatmentPassTest, ARowWhoseImagePathCouldNotBeReadGetsNoFileStep) {
  AddRow(u"evil.exe", u"4120", u"", u"N/A", kKindOutputTunnel);
  RunImage(4120, u"C:\\Temp\\evil.exe", /*openable=*/false);
  pass.TreatFindings();
  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{4120}));
  for (const auto& [operation, path] : w.files.operations) {
    EXPECT_EQ(path.find(w.T(enc::BackupRoot)), 0u) << operation << " " << ToUtf8(path);
  }
  ASSERT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(w.results.rows[0][kColumnFlag], u"evil.exe: " + w.T(enc::StepReadPath));
  EXPECT_EQ(pass.TreatedCount(), 0);
}

// A running program's image cannot be deleted but can be moved on its volume: it goes
// into the backup folder and the placeholder takes its place.
TEST_F(TreatmentPassTest, AFileThatCannotBeDeletedIsMovedIntoTheBackupFolder) {
  w.files.inUse.insert(u"C:\\Temp\\evil.exe");
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  pass.TreatFindings();
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil");
  EXPECT_EQ(Content(Folder(u"evil.exe") + u"\\evil.exe (2)"), "MZ evil");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_TRUE(w.files.removedAtRestart.empty());
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(pass.TreatedCount(), 1);
  std::vector<Text> lines = {w.T(enc::LogMovedText) + Folder(u"evil.exe") + u"\\evil.exe (2)" + w.T(enc::LogLineEnd)};
  for (const Text& line : StandardLines(u"evil.exe", u"C:\\Temp\\evil.exe")) lines.push_back(line);
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"evil.exe")), lines);
}

// A file that another program holds stays, and its row with it; once that program has
// let go, the next treatment finishes the job.
TEST_F(TreatmentPassTest, ASecondTreatmentFinishesWhatTheFirstCouldNot) {
  w.files.lockedOpen.insert(u"C:\\Temp\\evil.exe");
  AddEvilProcessRow();
  AddRow(u"None", u"None", u"None", u"Svc", kKindServiceHide);
  pass.TreatFindings();
  EXPECT_EQ(w.results.rows.size(), 1u);  // the service row went, the process row stays
  EXPECT_EQ(w.view.treatedCountText, u"1건");
  EXPECT_EQ(Content(u"C:\\Temp\\evil.exe"), "MZ evil");

  w.files.lockedOpen.clear();
  pass.TreatFindings();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(w.view.treatedCountText, u"2건");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Temp\\evil.exe"));
  EXPECT_EQ(pass.IncompleteCount(), 0);
}

TEST_F(TreatmentPassTest, ARegistryValueThatMayNotBeDeletedKeepsItsRow) {
  const Text key = w.T(enc::InfectionKeyPath);
  w.registry.SetText(kHklm, key, u"Updater", u"C:\\Temp\\evil.exe");
  w.registry.DenyKey(kHklm, key);
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  pass.TreatFindings();
  ASSERT_EQ(w.results.rows.size(), 1u);
  // The check's code stays before the reason: it tells the next treatment the value's view.
  EXPECT_EQ(w.results.rows[0][kColumnFlag], u"1 " + Failed(enc::StepDeleteValue, 5, enc::ReasonAccessDenied));
  EXPECT_TRUE(w.registry.Stored(kHklm, key, u"Updater").has_value());
  EXPECT_EQ(pass.TreatedCount(), 0);
}

// Autorun values and service image paths are command lines: the file steps act on the
// file the line starts, never on the text; a text naming no file gets no file step.
// The row shows what the check read (its name cut from the text after the last "\\",
// arguments and quotes included); the file it starts is backed up, logged and blocked
// under its own name.
TEST_F(TreatmentPassTest, CommandLinesAreTreatedThroughTheFileTheyStart) {
  struct Case {
    const char16_t* value;
    const char16_t* name;  // the Name cell the check gives the value
    const char16_t* file;  // the file treated; empty when none
    const char16_t* folder;  // the backup folder's name
  };
  const Case cases[] = {
      {u"\"C:\\Temp\\evil.exe\" /background", u"evil.exe\" /background", u"C:\\Temp\\evil.exe", u"evil.exe"},
      {u"C:\\Temp\\evil.exe -s", u"evil.exe -s", u"C:\\Temp\\evil.exe", u"evil.exe"},
      {u"%ZcTemp%\\evil.exe", u"evil.exe", u"C:\\Temp\\evil.exe", u"evil.exe"},
      {u"C:\\Temp\\gone.exe -s", u"gone.exe -s", u"", u"gone.exe -s"},
  };
  for (const Case& c : cases) {
    for (const TextView kind : {kKindRegistryInfection, kKindServiceHide}) {
      const std::string what = ToUtf8(c.value) + " " + ToUtf8(kind);
      Bench t;
      t.w.environment.variables[u"zctemp"] = u"C:\\Temp";
      t.AddRow(c.name, u"None", c.value, kind == kKindServiceHide ? u"EvilSvc" : u"N/A", kind, u"Updater", u"1");
      t.pass.TreatFindings();
      // No folder, file or placeholder at the text itself.
      EXPECT_EQ(t.w.files.Find(c.value), nullptr) << what;
      const std::vector<Text> lines = t.w.log.LinesOf(t.LogFolder(c.folder));
      if (*c.file != 0) {
        EXPECT_EQ(t.Content(t.Folder(u"evil.exe") + u"\\evil.exe"), "MZ evil") << what;
        EXPECT_TRUE(t.IsPlaceholder(u"C:\\Temp\\evil.exe")) << what;
        EXPECT_EQ(lines, t.StandardLines(u"evil.exe", c.file)) << what;
      } else {
        EXPECT_EQ(t.Content(u"C:\\Temp\\evil.exe"), "MZ evil") << what;
        for (const auto& [operation, path] : t.w.files.operations) {
          EXPECT_EQ(path.find(t.w.T(enc::BackupRoot)), 0u) << what << " " << operation;
        }
        ASSERT_EQ(lines.size(), 3u) << what;
        EXPECT_EQ(lines[2], c.name + t.w.T(enc::LogFileNotFoundText) + c.value + t.w.T(enc::LogLineEnd)) << what;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), t.w.T(enc::LogClosingFirst)), 0) << what;
      }
    }
  }
}

// A value found in the 32-bit view of the machine's key is deleted there and nowhere
// else, and recorded by its logical key in the 32-bit view.
TEST_F(TreatmentPassTest, AValueOfThe32BitViewIsDeletedFromItsOwnView) {
  const Text key = w.T(enc::InfectionKeyPath);
  const Text key32 = Wow32KeyPath(kHklm, key);
  w.registry.SetText(kHklm, key32, u"Updater", u"C:\\Temp\\evil.exe");
  w.registry.SetText(kHklm, key, u"Updater", u"C:\\Good\\updater64.exe");
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\Good\\user.exe");
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"3");
  recording.files.AddFolder(w.T(enc::BackupRoot));
  recording.files.AddFolder(Folder(u"evil.exe"));
  pass.TreatFindings();
  EXPECT_FALSE(w.registry.Stored(kHklm, key32, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHklm, key, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHkcu, key, u"Updater").has_value());
  EXPECT_TRUE(w.results.rows.empty());
  const RecordReading reading =
      ReadTreatmentRecord(recording.files.Content(TreatmentRecorder::RecordPath(w.texts, Folder(u"evil.exe"))));
  ASSERT_EQ(reading.treatments.size(), 1u);
  bool recorded = false;
  for (const TreatmentStep& step : reading.treatments[0].steps) {
    if (const auto* value = std::get_if<RegistryValueStep>(&step)) {
      recorded = recorded || (value->keyPath == key && value->view == RegistryView::Wow32);
    }
  }
  EXPECT_TRUE(recorded);
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
  AddRow(u"..//Windows", u"None", u"C:\\Temp\\..//Windows", u"N/A", kKindRegistryInfection, u"Run1", u"1");
  AddRow(u"..", u"None", u"C:\\Temp\\Vendor\\..", u"N/A", kKindRegistryInfection, u"Run2", u"1");
  pass.TreatFindings();
  EXPECT_EQ(w.log.LinesOf(LogFolder(u"..__Windows")).size(), 3u);
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

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHkcu;
using testing::kHklm;

class TreatmentSafetyTest : public ::testing::Test, public Bench {};

// A treated row that stays keeps the check's code in front of its reason: treated again,
// a value of the 32-bit view is still deleted from that view alone, never from the
// same-named values of the user's root or the 64-bit view.
TEST_F(TreatmentSafetyTest, AnIncompleteRowTreatedAgainKeepsItsView) {
  const Text key = w.T(enc::InfectionKeyPath);
  const Text key32 = Wow32KeyPath(kHklm, key);
  w.registry.SetText(kHklm, key32, u"Updater", u"C:\\Temp\\evil.exe");
  w.registry.SetText(kHklm, key, u"Updater", u"C:\\Good\\updater64.exe");
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\Good\\user.exe");
  w.files.lockedOpen.insert(u"C:\\Temp\\evil.exe");  // neither deleted nor moved now
  w.files.failRestartMarks = true;
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"3");
  pass.TreatFindings();
  ASSERT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(w.results.rows[0][kColumnFlag].substr(0, 2), u"3 ");

  w.registry.SetText(kHklm, key32, u"Updater", u"C:\\Temp\\evil.exe");  // written again meanwhile
  w.files.lockedOpen.clear();
  pass.TreatFindings();
  EXPECT_FALSE(w.registry.Stored(kHklm, key32, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHklm, key, u"Updater").has_value());
  EXPECT_TRUE(w.registry.Stored(kHkcu, key, u"Updater").has_value());
  EXPECT_TRUE(w.results.rows.empty());
}

// Each step that did not have its effect keeps the row: a hidden service the manager
// will not delete, a placeholder that cannot be made, a move reported done while the
// file is still there.
TEST_F(TreatmentSafetyTest, AStepWithoutItsEffectKeepsTheRow) {
  struct Case {
    const char* what;
    void (*breakIt)(Bench&);
    const char16_t* step;
  };
  const Case cases[] = {
      {"service deletion refused",
       [](Bench& t) { t.w.services.deleteRefusals[FoldCase(u"EvilSvc")] = SystemError::AccessDenied; },
       enc::StepDeleteService},
      {"placeholder refused", [](Bench& t) { t.w.files.folderRefusals.insert(u"C:\\Temp\\evil.exe"); },
       enc::StepPlaceholder},
      {"a move that left the file",
       [](Bench& t) {
         t.w.files.inUse.insert(u"C:\\Temp\\evil.exe");
         t.w.files.movesThatStay.insert(u"C:\\Temp\\evil.exe");
         t.w.files.failRestartMarks = true;
       },
       enc::StepDeleteFile},
  };
  for (const Case& c : cases) {
    Bench t;
    t.AddService(u"EvilSvc", 1);
    t.AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindServiceHide);
    c.breakIt(t);
    t.pass.TreatFindings();
    ASSERT_EQ(t.w.results.rows.size(), 1u) << c.what;
    EXPECT_EQ(t.w.results.rows[0][kColumnFlag].find(t.w.T(c.step)), 0u) << c.what;
    EXPECT_EQ(t.pass.TreatedCount(), 0) << c.what;
  }
}

// A service whose process ended before the stop request answers that it cannot take
// the request; it has stopped all the same, and the stop is counted done.
TEST_F(TreatmentSafetyTest, AStopIsDoneWhenTheManagerSaysTheServiceStopped) {
  AddService(u"EvilSvc");
  w.services.stopRefusals[FoldCase(u"EvilSvc")] = static_cast<SystemError>(232);
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindServiceHide);
  w.services.states[FoldCase(u"EvilSvc")] = 1;  // the process went with the bot's
  pass.TreatFindings();
  EXPECT_TRUE(w.results.rows.empty());

  Bench t;
  t.AddService(u"EvilSvc");  // still running: the refusal stands
  t.w.services.stopRefusals[FoldCase(u"EvilSvc")] = static_cast<SystemError>(232);
  t.AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"EvilSvc", kKindServiceHide);
  t.pass.TreatFindings();
  EXPECT_EQ(t.w.results.rows.size(), 1u);
}

// The recorder reads the machine the pass changes: every value and service it removes
// is in the record with what it held, so each was recorded before it went.
TEST_F(TreatmentSafetyTest, WhatIsRemovedIsRecordedFirst) {
  const Text key = w.T(enc::InfectionKeyPath);
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\Temp\\evil.exe");
  AddService(u"EvilSvc", 1);
  recording.files.AddFolder(w.T(enc::BackupRoot));
  recording.files.AddFolder(Folder(u"evil.exe"));
  recording.files.AddFolder(Folder(u"svc.exe"));
  AddRow(u"evil.exe", u"None", u"C:\\Temp\\evil.exe", u"N/A", kKindRegistryInfection, u"Updater", u"1");
  AddRow(u"svc.exe", u"None", u"None", u"EvilSvc", kKindServiceHide);
  w.services.services[FoldCase(u"EvilSvc")].imagePath = u"C:\\Temp\\svc.exe";
  w.files.AddFile(u"C:\\Temp\\svc.exe", "MZ svc");
  w.results.rows[1][kColumnPath] = u"C:\\Temp\\svc.exe";
  pass.TreatFindings();
  ASSERT_TRUE(w.results.rows.empty());

  const RecordReading value =
      ReadTreatmentRecord(recording.files.Content(TreatmentRecorder::RecordPath(w.texts, Folder(u"evil.exe"))));
  bool valueRecorded = false;
  for (const TreatmentStep& step : value.treatments.at(0).steps) {
    if (const auto* v = std::get_if<RegistryValueStep>(&step)) valueRecorded = valueRecorded || v->root == kHkcu;
  }
  EXPECT_TRUE(valueRecorded);
  const RecordReading service =
      ReadTreatmentRecord(recording.files.Content(TreatmentRecorder::RecordPath(w.texts, Folder(u"svc.exe"))));
  bool serviceRecorded = false;
  for (const TreatmentStep& step : service.treatments.at(0).steps) {
    if (const auto* s = std::get_if<ServiceDeleteStep>(&step)) serviceRecorded = s->config.imagePath == u"C:\\Temp\\svc.exe";
  }
  EXPECT_TRUE(serviceRecorded);
}

// Autorun values through Windows' host programs: the payload is backed up and blocked,
// the host stays byte for byte; a DLL host process is ended by its id only, other copies
// of the host run on.
TEST_F(TreatmentSafetyTest, ThePayloadGoesTheHostStays) {
  const Text key = w.T(enc::InfectionKeyPath);
  w.files.AddFolder(u"C:\\Windows");
  w.files.AddFolder(u"C:\\Windows\\System32");
  w.files.AddFile(u"C:\\Windows\\System32\\rundll32.exe", "MZ host");
  w.files.AddFile(u"C:\\Windows\\System32\\wscript.exe", "MZ script host");
  w.files.AddFolder(u"C:\\Users");
  w.files.AddFolder(u"C:\\Users\\u");
  w.files.AddFile(u"C:\\Users\\u\\x.dll", "MZ bot");
  w.files.AddFile(u"C:\\Users\\u\\x.vbs", "bot script");
  RunImage(500, u"C:\\Windows\\System32\\rundll32.exe");
  RunImage(501, u"C:\\Windows\\System32\\rundll32.exe");
  w.processDetails.Add(500, u"rundll32.exe C:\\Users\\u\\x.dll,Start", u"C:\\Users\\u",
                       {u"C:\\Windows\\System32\\rundll32.exe", u"C:\\Users\\u\\x.dll"});
  w.processDetails.Add(501, u"rundll32.exe shell32.dll,Control_RunDLL", u"C:\\Users\\u",
                       {u"C:\\Windows\\System32\\rundll32.exe"});
  w.registry.SetText(kHkcu, key, u"Script", u"wscript.exe //B C:\\Users\\u\\x.vbs");
  AddRow(u"rundll32.exe", u"500", u"C:\\Windows\\System32\\rundll32.exe", u"N/A", kKindOutputTunnel);
  AddRow(u"wscript.exe", u"None", u"wscript.exe //B C:\\Users\\u\\x.vbs", u"N/A", kKindRegistryInfection, u"Script",
         u"1");
  pass.TreatFindings();

  EXPECT_EQ(w.processes.terminated, (std::vector<int32_t>{500}));
  EXPECT_EQ(Content(u"C:\\Windows\\System32\\rundll32.exe"), "MZ host");
  EXPECT_EQ(Content(u"C:\\Windows\\System32\\wscript.exe"), "MZ script host");
  EXPECT_TRUE(IsPlaceholder(u"C:\\Users\\u\\x.dll"));
  EXPECT_TRUE(IsPlaceholder(u"C:\\Users\\u\\x.vbs"));
  EXPECT_EQ(Content(Folder(u"x.dll") + u"\\x.dll"), "MZ bot");
  EXPECT_EQ(Content(Folder(u"x.vbs") + u"\\x.vbs"), "bot script");
  EXPECT_FALSE(w.registry.Stored(kHkcu, key, u"Script").has_value());
  EXPECT_TRUE(w.results.rows.empty());
  // Nothing was ended by a host's name.
  for (const Text& command : w.shell.CommandLines()) EXPECT_EQ(command.find(u"taskkill"), Text::npos);
}

// Windows' own files and files another publisher signed stay; nothing in the Windows
// folder is left for the restart to delete.
TEST_F(TreatmentSafetyTest, WindowsAndSignedFilesStay) {
  const Text key = w.T(enc::InfectionKeyPath);
  w.files.AddFolder(u"C:\\Good");
  w.files.AddFile(u"C:\\Good\\tool.exe", "MZ tool");
  w.trust.SignBy(u"C:\\Good\\tool.exe", u"Good Tools Co.");
  w.registry.SetText(kHkcu, key, u"Tool", u"C:\\Good\\tool.exe /tray");
  AddRow(u"tool.exe", u"None", u"C:\\Good\\tool.exe /tray", u"N/A", kKindRegistryInfection, u"Tool", u"1");
  pass.TreatFindings();
  EXPECT_EQ(Content(u"C:\\Good\\tool.exe"), "MZ tool");
  EXPECT_FALSE(w.registry.Stored(kHkcu, key, u"Tool").has_value());
  bool publisherSaid = false;
  for (const Text& line : w.log.LinesOf(LogFolder(u"tool.exe"))) {
    publisherSaid = publisherSaid || line.find(u"Good Tools Co.") != Text::npos;
  }
  EXPECT_TRUE(publisherSaid);

  Bench t;
  t.w.files.AddFolder(u"C:\\Windows");
  t.w.files.AddFile(u"C:\\Windows\\held.exe", "MZ held");
  t.w.files.lockedOpen.insert(u"C:\\Windows\\held.exe");
  t.RunImage(900, u"C:\\Windows\\held.exe");
  t.AddRow(u"held.exe", u"900", u"C:\\Windows\\held.exe", u"N/A", kKindOutputTunnel);
  t.pass.TreatFindings();
  EXPECT_TRUE(t.w.files.removedAtRestart.empty());
  EXPECT_EQ(t.w.results.rows.size(), 1u);
}

}  // namespace
}  // namespace zc

namespace zc {
namespace {

// A bot's service in the shared service host: the host runs on, the service is kept from
// starting, stopped through its manager, taken out of its group's list (the other
// services of the group stay listed) and deleted, and its DLL is the file taken.
TEST(SharedHostTreatmentTest, TheBotsServiceGoesTheHostStays) {
  Bench t;
  EngineWorld& w = t.w;
  w.files.AddFolder(u"C:\\Windows");
  w.files.AddFolder(u"C:\\Windows\\System32");
  w.files.AddFile(u"C:\\Windows\\System32\\svchost.exe", "MZ host");
  w.files.AddFile(u"C:\\Temp\\evilsvc.dll", "MZ bot dll");
  t.RunImage(800, u"C:\\Windows\\System32\\svchost.exe");
  w.connectionOwners.owners[800] = {u"EvilSvc"};
  t.AddService(u"EvilSvc");
  t.AddService(u"DcomLaunch");
  w.services.services[FoldCase(u"EvilSvc")].imagePath = u"%SystemRoot%\\System32\\svchost.exe -k netsvcs";
  const Text serviceKey = w.T(enc::ServiceKeyPrefix) + u"EvilSvc";
  w.registry.SetText(kHklm, serviceKey + u"\\Parameters", u"ServiceDll", u"C:\\Temp\\evilsvc.dll", 2);
  const Text groups = w.T(enc::ServiceGroupsKeyPath);
  w.registry.SetText(kHklm, groups, u"netsvcs", Text(u"DcomLaunch\0EvilSvc\0", 19), 7);
  t.AddRow(u"svchost.exe", u"800", u"C:\\Windows\\System32\\svchost.exe", u"DcomLaunch, EvilSvc", kKindOutputTunnel);
  t.pass.TreatFindings();

  EXPECT_TRUE(w.processes.terminated.empty());
  EXPECT_EQ(t.Content(u"C:\\Windows\\System32\\svchost.exe"), "MZ host");
  EXPECT_TRUE(t.IsPlaceholder(u"C:\\Temp\\evilsvc.dll"));
  EXPECT_FALSE(w.services.Exists(u"EvilSvc"));
  EXPECT_TRUE(w.services.Exists(u"DcomLaunch"));
  const auto list = w.registry.Stored(kHklm, groups, u"netsvcs");
  ASSERT_TRUE(list.has_value());
  const Text listed = std::get<Text>(list->value);
  EXPECT_NE(listed.find(u"DcomLaunch"), Text::npos);
  EXPECT_EQ(listed.find(u"EvilSvc"), Text::npos);
  EXPECT_TRUE(w.results.rows.empty());
}

}  // namespace
}  // namespace zc
