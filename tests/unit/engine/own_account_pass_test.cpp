// A standard user's treatment without administrator rights: what they own is taken, with
// backups and records in their own store; a Finding that needs anything more is left
// on the list untouched, its row saying what needs an administrator.

#include <gtest/gtest.h>

#include <functional>

#include "core/engine/registry_infection_check.h"
#include "core/engine/treatment_pass.h"
#include "core/restore/record_reader.h"
#include "tests/fakes/fake_shared_recording.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHkcu;
using testing::kHklm;

constexpr char16_t kKim[] = u"S-1-5-21-1-2-3-1001";
constexpr char16_t kLocal[] = u"C:\\Users\\kim\\AppData\\Local";
constexpr char16_t kOwnRoot[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\좀비치료백업";
constexpr char16_t kBot[] = u"C:\\Users\\kim\\AppData\\Roaming\\bot.exe";
constexpr char16_t kShared[] = u"C:\\Program Files\\Shared\\bot.exe";
constexpr uint32_t kBotId = 4120;

struct OwnAccountBench {
  OwnAccountBench() {
    w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    for (const TextView folder : {u"C:\\Users\\kim\\AppData\\Roaming", u"C:\\Program Files\\Shared"}) {
      w.files.AddFolder(folder);
    }
    w.files.AddFile(kBot, "MZ bot");
    w.files.AddFile(kShared, "MZ shared");
    // The store's folder above its root, as the recorder makes it on the same disk.
    w.files.AddFolder(u"C:\\Users\\kim\\AppData\\Local\\ZombieCure");
    recording.files.AddFolder(kLocal);
    pass.SetRunningUserSid(kKim);
    recording.registry.currentUserSid = kKim;
    // Windows' rules for kim's token: the profile is hers to delete in, her processes
    // hers to end.
    w.userRights.deletableFolders[kKim] = {u"C:\\Users\\kim"};
  }
  void Run(uint32_t id, TextView image, bool kims) {
    const Text path(image);
    w.processes.AddProcess(id, path.substr(path.rfind(u'\\') + 1), u"\\Device\\HarddiskVolume1" + path.substr(2));
    if (kims) w.userRights.ownProcesses.insert(id);
  }
  void AddRow(TextView id, TextView path, TextView detail, TextView kind, TextView entry = u"", TextView flag = u"") {
    w.results.Append({u"bot.exe", Text(id), Text(path), Text(detail), Text(kind), Text(entry), Text(flag)});
  }
  Text RunKey() const { return w.T(enc::InfectionKeyPath); }
  Text Reason(TextView step) const { return w.T(enc::AdminNeededReason) + Text(step); }

  EngineWorld w;
  fakes::FakeSharedRecording recording{w.texts, w.registry, w.services, OwnAccountStore(w.texts, kLocal, kKim)};
  TreatmentPass pass{w.texts, w.definitions, w.results, w.view, w.log, w.Machine(), recording.recorder};
};

TEST(OwnAccountPass, KimsOwnValueAndFileAreTakenIntoHerStoreAndTheMachinesTwinStays) {
  OwnAccountBench b;
  b.w.registry.SetText(kHkcu, b.RunKey(), u"bot", kBot);
  b.w.registry.SetText(kHklm, b.RunKey(), u"bot", u"C:\\machine.exe");
  b.AddRow(u"None", kBot, u"N/A", kKindRegistryInfection, u"bot", kFlagSecondRoot);
  b.pass.TreatFindings();

  EXPECT_TRUE(b.w.results.rows.empty());
  EXPECT_FALSE(b.w.registry.Stored(kHkcu, b.RunKey(), u"bot").has_value());
  EXPECT_TRUE(b.w.registry.Stored(kHklm, b.RunKey(), u"bot").has_value());  // not hers to delete
  const Text folder = Text(kOwnRoot) + u"\\bot.exe";
  EXPECT_EQ(b.pass.CurrentBackupFolder(), folder);
  const auto* copy = b.w.files.Find(folder + u"\\bot.exe");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->content, "MZ bot");
  const auto* placeholder = b.w.files.Find(kBot);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_TRUE(placeholder->isFolder);
  // The record lies in her store, the value recorded with her SID.
  const RecordReading reading =
      ReadTreatmentRecord(b.recording.files.Content(TreatmentRecorder::RecordPath(b.w.texts, folder)));
  ASSERT_EQ(reading.treatments.size(), 1u);
  bool recordedHers = false;
  for (const TreatmentStep& step : reading.treatments[0].steps) {
    if (const auto* value = std::get_if<RegistryValueStep>(&step)) recordedHers = value->userSid == kKim;
  }
  EXPECT_TRUE(recordedHers);
}

struct LeftCase {
  const char* what;
  std::function<void(OwnAccountBench&)> plant;
  Text firstStep;  // what the row says needs an administrator
};

TEST(OwnAccountPass, AFindingThatNeedsMoreThanHerRightsIsLeftUntouched) {
  const Text runKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const LeftCase cases[] = {
      {"a value under the machine's root",
       [](OwnAccountBench& b) {
         b.w.registry.SetText(kHklm, b.RunKey(), u"bot", kBot);
         b.AddRow(u"None", kBot, u"N/A", kKindRegistryInfection, u"bot", kFlagFirstRoot);
       },
       u"HKLM\\" + runKey + u"\\bot"},
      {"another account's process",
       [](OwnAccountBench& b) {
         b.Run(kBotId, kBot, false);
         b.AddRow(u"4120", kBot, u"N/A", kKindOutputTunnel);
       },
       u"프로세스 bot.exe (PID 4120)"},
      {"her process, but a file she may not delete",
       [](OwnAccountBench& b) {
         b.Run(kBotId, kShared, true);
         b.AddRow(u"4120", kShared, u"N/A", kKindOutputTunnel);
       },
       kShared},
      {"a service",
       [](OwnAccountBench& b) {
         ServiceConfig config;
         config.name = u"EvilSvc";
         b.w.services.Add(config);
         b.w.services.states[FoldCase(u"EvilSvc")] = 4;
         b.AddRow(u"None", kBot, u"EvilSvc", kKindServiceHide);
       },
       u"서비스 EvilSvc"},
  };
  for (const LeftCase& c : cases) {
    OwnAccountBench b;
    c.plant(b);
    b.pass.TreatFindings();
    ASSERT_EQ(b.w.results.rows.size(), 1u) << c.what;
    const Text flag = b.w.results.GetCellText(0, kColumnFlag);
    EXPECT_NE(flag.find(b.Reason(c.firstStep)), Text::npos) << c.what << ": " << ToUtf8(flag);
    for (const TextView path : {TextView(kBot), TextView(kShared)}) {
      const auto* file = b.w.files.Find(path);
      EXPECT_TRUE(file && !file->isFolder) << c.what << ": " << ToUtf8(path);
    }
    EXPECT_TRUE(b.w.processes.terminated.empty()) << c.what;
    EXPECT_TRUE(b.w.services.calls.empty()) << c.what;
    EXPECT_TRUE(b.w.registry.Stored(kHklm, b.RunKey(), u"bot").has_value() || c.firstStep.find(u"HKLM") == Text::npos)
        << c.what;
    EXPECT_EQ(b.recording.files.Find(kOwnRoot), nullptr) << c.what;  // no backup folder, no record
    ASSERT_EQ(b.pass.LastPass().size(), 1u) << c.what;
    EXPECT_FALSE(b.pass.LastPass()[0].done) << c.what;
    EXPECT_EQ(b.pass.LastPass()[0].failures.front(), b.Reason(c.firstStep)) << c.what;
  }
}

TEST(OwnAccountPass, HerOwnProcessAndItsImageInHerProfileAreTaken) {
  OwnAccountBench b;
  b.Run(kBotId, kBot, true);
  b.AddRow(u"4120", kBot, u"N/A", kKindOutputTunnel);
  b.pass.TreatFindings();
  EXPECT_TRUE(b.w.results.rows.empty());
  EXPECT_EQ(b.w.processes.terminated, (std::vector<int32_t>{4120}));
  ASSERT_NE(b.w.files.Find(Text(kOwnRoot) + u"\\bot.exe\\bot.exe"), nullptr);
}

}  // namespace
}  // namespace zc
