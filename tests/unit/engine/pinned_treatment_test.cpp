// The treatment's file steps through one opening of the suspect file: an ordinary account
// that swaps a folder above the file for a junction between two steps (the pass waits
// seconds between them) cannot aim the administrator's delete at another file, and a
// path that already leads through a junction is refused before any step.

#include <gtest/gtest.h>

#include "core/engine/treatment_pass.h"
#include "engine_world.h"
#include "tests/fakes/fake_pinned_files.h"
#include "tests/fakes/fake_shared_recording.h"

namespace zc {
namespace {

using testing::EngineWorld;

constexpr char16_t kBot[] = u"C:\\Temp\\evil.exe";
constexpr char16_t kWindowsFile[] = u"C:\\Windows\\System32\\evil.exe";  // an innocent file of the same name

struct PinnedBench {
  PinnedBench() {
    for (const char16_t* folder : {u"C:\\Temp", u"C:\\Windows", u"C:\\Windows\\System32"}) w.files.AddFolder(folder);
    w.files.AddFile(kBot, "MZ evil");
    w.files.AddFile(kWindowsFile, "MZ windows");
    w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    w.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
    w.results.Append({u"evil.exe", u"4120", kBot, u"N/A", kKindOutputTunnel, u"", u""});
    recording.files.AddFolder(w.T(enc::BackupRoot));
  }
  TreatmentMachine Machine() {
    TreatmentMachine machine = w.Machine();
    machine.suspectFiles = &suspects;
    return machine;
  }
  std::string Content(TextView path) const {
    const auto* e = w.files.Find(path);
    return e && !e->isFolder ? e->content : "<none>";
  }

  EngineWorld w;
  fakes::FakeSuspectFiles suspects{w.files};
  fakes::FakeSharedRecording recording{w.texts, w.registry, w.services};
  TreatmentPass pass{w.texts, w.definitions, w.results, w.view, w.log, Machine(), recording.recorder};
};

TEST(PinnedTreatmentTest, AJunctionPlantedBetweenTwoStepsCannotSteerTheRest) {
  PinnedBench b;
  std::vector<SystemError> planted;
  b.w.view.onDelay = [&b, &planted] { planted.push_back(b.suspects.PlantJunction(u"C:\\Temp", u"C:\\Windows\\System32")); };
  b.pass.TreatFindings();

  // Every attempt in the pauses met the held folder.
  ASSERT_FALSE(planted.empty());
  for (const SystemError error : planted) EXPECT_EQ(error, SystemError::SharingViolation);
  EXPECT_EQ(b.Content(kWindowsFile), "MZ windows");
  EXPECT_EQ(b.Content(b.w.T(enc::BackupPrefix) + u"evil.exe\\evil.exe"), "MZ evil");
  const auto* placeholder = b.w.files.Find(kBot);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_TRUE(placeholder->isFolder);
  EXPECT_TRUE(b.w.results.rows.empty());
  // One opening for every step, and the folders let go once the Finding is done.
  size_t opens = 0;
  for (const auto& step : b.suspects.steps) opens += step.first == "open";
  EXPECT_EQ(opens, 1u);
  EXPECT_EQ(b.suspects.HoldsOn(u"C:\\Temp"), 0u);
}

TEST(PinnedTreatmentTest, APathThatAlreadyLeadsThroughAJunctionIsRefusedWhole) {
  PinnedBench b;
  ASSERT_EQ(b.suspects.PlantJunction(u"C:\\Temp", u"C:\\Windows\\System32"), SystemError::None);
  b.pass.TreatFindings();

  EXPECT_EQ(b.Content(kWindowsFile), "MZ windows");
  EXPECT_EQ(b.w.files.Find(kWindowsFile)->attributes, 0u);
  for (const auto& step : b.suspects.steps) EXPECT_EQ(step.first, "open");  // no step after the refusal
  // The row stays, saying why.
  ASSERT_EQ(b.w.results.rows.size(), 1u);
  const Text flag = b.w.results.rows[0][kColumnFlag];
  EXPECT_NE(flag.find(b.w.T(enc::StepPinFile)), Text::npos);
  EXPECT_NE(flag.find(b.w.T(enc::ReasonRedirected)), Text::npos);
}

TEST(PinnedTreatmentTest, AFileAnotherProgramHoldsIsCopiedAndGoesAtTheRestartByName) {
  // No opening with delete access while another program holds the file without delete
  // sharing: the copy and the deletion at restart go by the file's name, as before.
  PinnedBench b;
  b.w.files.lockedOpen.insert(kBot);
  b.pass.TreatFindings();
  EXPECT_EQ(b.Content(b.w.T(enc::BackupPrefix) + u"evil.exe\\evil.exe"), "MZ evil");
  EXPECT_EQ(b.Content(kBot), "MZ evil");  // still there until the restart
  EXPECT_TRUE(b.pass.RestartNeeded());
  ASSERT_EQ(b.w.results.rows.size(), 1u);
  EXPECT_EQ(b.w.results.rows[0][kColumnFlag].find(b.w.T(enc::StepPinFile)), Text::npos);
}

}  // namespace
}  // namespace zc
