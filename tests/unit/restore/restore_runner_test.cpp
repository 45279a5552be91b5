// Restoring from a backup folder's record, against the fakes: each kind of step comes
// back exactly, nothing that is not ours is removed or overwritten, a record that
// points anywhere else is refused whole, and a second restore does nothing.

#include <gtest/gtest.h>

#include "core/platform/event_ids.h"

#include <algorithm>
#include <functional>
#include <string>

#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kRoot[] = u"C:\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\좀비 svc.exe";
constexpr char16_t kOriginal[] = u"C:\\앱\\좀비 svc.exe";
constexpr char16_t kBackup[] = u"C:\\좀비치료백업\\좀비 svc.exe\\좀비 svc.exe";
constexpr uint32_t kPlaceholder = 0x10 | 0x7;
const std::string kProgram("MZ\x90\0program", 10);

ServiceConfig Service() {
  ServiceConfig config;
  config.name = u"ZcTestSvc";
  config.displayName = u"Zc Test";
  config.imagePath = kOriginal;
  config.serviceType = 0x10;
  config.startType = 2;
  config.errorControl = 1;
  config.account = u"LocalSystem";
  return config;
}

const RawRegistryValue kAutorun{2, {'%', 0, 'x', 0, 0, 0}};

// The machine before the treatment, then the treatment as the pass does it: each step
// recorded before it is taken.
void PlantAndTreat(RestoreWorld& w) {
  w.files.AddFolder(kRoot);
  w.files.AddFolder(u"C:\\앱");
  w.files.AddFile(kOriginal, kProgram, 0x21);
  w.services.Add(Service());
  w.registry.Set(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start", {4, {2, 0, 0, 0}});
  w.registry.Set(kCurrentUser, w.RunKey(), u"좀비 자동", kAutorun);

  w.files.AddFolder(kFolder);
  w.recorder.Begin(kFolder, u"좀비 svc.exe", u"outPut Tun");
  w.recorder.ServiceStart(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"ZcTestSvc");
  w.registry.Set(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start", {4, {4, 0, 0, 0}});
  w.recorder.RegistryValue(kCurrentUser, w.RunKey(), u"좀비 자동");
  w.registry.Remove(kCurrentUser, w.RunKey(), u"좀비 자동");
  w.files.CopyWithoutReplacing(kOriginal, kBackup);
  w.recorder.File(kOriginal, kBackup);
  w.files.entries.erase(FoldCase(kOriginal));
  w.files.AddFolder(kOriginal, kPlaceholder);
  ServiceConfig disabled = Service();
  disabled.startType = 4;
  w.services.Add(disabled);
  w.recorder.ServiceDelete(u"ZcTestSvc");
  w.services.Remove(u"ZcTestSvc");
  w.registry.Remove(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start");
}

TEST(Restore, PutsEveryStepBackExactlyAndMarksTheTreatmentRestored) {
  RestoreWorld w;
  PlantAndTreat(w);
  const RestoreOutcome outcome = w.runner.Restore(Text(kFolder) + u"\\");
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(outcome.restoredTreatments, 1);

  ASSERT_NE(w.files.Find(kOriginal), nullptr);
  EXPECT_FALSE(w.files.Find(kOriginal)->isFolder);
  EXPECT_EQ(w.files.Content(kOriginal), kProgram);
  EXPECT_EQ(w.files.Find(kOriginal)->attributes, 0x21u);
  EXPECT_EQ(w.files.Content(kBackup), kProgram);  // the copy stays in the backup
  EXPECT_EQ(w.registry.Get(kCurrentUser, w.RunKey(), u"좀비 자동"), kAutorun);
  ASSERT_TRUE(w.services.Exists(u"ZcTestSvc"));
  EXPECT_EQ(*w.services.QueryConfig(u"ZcTestSvc"), Service());  // with its start type before the treatment

  const RecordReading reading = ReadTreatmentRecord(w.files.Content(w.RecordOf(kFolder)));
  ASSERT_EQ(reading.treatments.size(), 1u);
  EXPECT_TRUE(reading.treatments[0].restored);
  const std::vector<Text> log = w.log.LinesOf(Text(kFolder) + u"\\");
  // The last step taken comes back first.
  // It was running before the treatment stopped it: it runs again.
  const std::vector<Text> expected = {w.T(enc::RestoreServiceStarted) + u"ZcTestSvc]",
                                      w.T(enc::RestoreFileDone) + kOriginal + u"]",
                                      w.T(enc::RestoreValueDone) + w.RunKey() + u"\\좀비 자동]",
                                      w.T(enc::RestoreStartDone) + u"ZcTestSvc]",
                                      u"좀비 svc.exe" + w.T(enc::RestoreTreatmentDone)};
  EXPECT_EQ(log, expected);

  // A second restore finds nothing left to do.
  const auto before = w.files.entries;
  const RestoreOutcome again = w.runner.Restore(kFolder);
  EXPECT_TRUE(again.Succeeded());
  EXPECT_EQ(again.restoredTreatments, 0);
  EXPECT_EQ(w.log.lines.size(), 5u);
  EXPECT_EQ(w.services.creates, 1);
  EXPECT_EQ(w.files.entries.size(), before.size());
  EXPECT_EQ(w.files.Content(w.RecordOf(kFolder)), before.at(FoldCase(w.RecordOf(kFolder))).content);
  // Each restore leaves its event.
  ASSERT_EQ(w.events.events.size(), 2u);
  EXPECT_EQ(w.events.events[0].first, events::kRestoreDone);
  EXPECT_EQ(w.events.events[0].second, Text(kFolder) + u"\\");
}

TEST(Restore, SetsStartBackOnAServiceThatWasNotDeleted) {
  RestoreWorld w;
  PlantAndTreat(w);
  w.services.Add(Service());  // the deletion never happened
  w.registry.Set(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start", {4, {4, 0, 0, 0}});
  ASSERT_TRUE(w.runner.Restore(kFolder).Succeeded());
  EXPECT_EQ(w.services.creates, 0);
  EXPECT_EQ(w.registry.Get(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start"), (RawRegistryValue{4, {2, 0, 0, 0}}));
}

struct RefusalCase {
  const char* what;
  std::function<void(RestoreWorld&)> change;  // made after the treatment
  std::function<Text(const RestoreWorld&)> problem;
  std::function<void(const RestoreWorld&)> check;  // what must still be as it was
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, LeavesWhatIsNotOursAndReportsTheStep) {
  const RefusalCase& c = GetParam();
  RestoreWorld w;
  PlantAndTreat(w);
  c.change(w);
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  ASSERT_FALSE(outcome.Succeeded()) << c.what;
  EXPECT_EQ(outcome.problems.front(), c.problem(w)) << c.what;
  EXPECT_EQ(outcome.restoredTreatments, 0) << c.what;
  c.check(w);
  // The treatment stays open, so a later restore can finish it.
  EXPECT_FALSE(ReadTreatmentRecord(w.files.Content(w.RecordOf(kFolder))).treatments[0].restored) << c.what;
  const std::vector<Text> log = w.log.LinesOf(Text(kFolder) + u"\\");
  EXPECT_NE(std::find(log.begin(), log.end(), outcome.problems.front()), log.end()) << c.what;
  // The event names the folder and the step that could not be done.
  ASSERT_EQ(w.events.events.size(), 1u) << c.what;
  EXPECT_EQ(w.events.events[0].first, events::kRestoreIncomplete) << c.what;
  EXPECT_NE(w.events.events[0].second.find(outcome.problems.front()), Text::npos) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Restore, Refusals,
    ::testing::Values(
        RefusalCase{"the backup copy was changed",
                    [](RestoreWorld& w) { w.files.entries[FoldCase(kBackup)].content += "x"; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreBackupChanged) + kBackup + u"]"; },
                    [](const RestoreWorld& w) {
                      ASSERT_NE(w.files.Find(kOriginal), nullptr);
                      EXPECT_TRUE(w.files.Find(kOriginal)->isFolder);  // the placeholder stays
                      EXPECT_EQ(w.files.Find(kOriginal)->attributes, kPlaceholder);
                    }},
        RefusalCase{"the backup copy was changed without changing its length",
                    [](RestoreWorld& w) { w.files.entries[FoldCase(kBackup)].content[4] ^= 0x20; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreBackupChanged) + kBackup + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        RefusalCase{"the backup copy is gone", [](RestoreWorld& w) { w.files.entries.erase(FoldCase(kBackup)); },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreBackupChanged) + kBackup + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        RefusalCase{"something was put into the placeholder",
                    [](RestoreWorld& w) { w.files.AddFile(Text(kOriginal) + u"\\user.txt", "mine"); },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreFolderNotOurs) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_EQ(w.files.Content(Text(kOriginal) + u"\\user.txt"), "mine"); }},
        RefusalCase{"an ordinary folder took the place",
                    [](RestoreWorld& w) { w.files.entries[FoldCase(kOriginal)].attributes = 0x10; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreFolderNotOurs) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        // Ours is hidden and system together: one of the two alone is someone else's folder.
        RefusalCase{"an empty folder that is only hidden took the place",
                    [](RestoreWorld& w) { w.files.entries[FoldCase(kOriginal)].attributes = 0x10 | 0x2; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreFolderNotOurs) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        RefusalCase{"an empty folder that is only system took the place",
                    [](RestoreWorld& w) { w.files.entries[FoldCase(kOriginal)].attributes = 0x10 | 0x4 | 0x1; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreFolderNotOurs) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        RefusalCase{"a different file took the place",
                    [](RestoreWorld& w) {
                      w.files.entries.erase(FoldCase(kOriginal));
                      w.files.AddFile(kOriginal, "a newer program");
                    },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreFileOccupied) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_EQ(w.files.Content(kOriginal), "a newer program"); }},
        RefusalCase{"the placeholder cannot be removed",
                    [](RestoreWorld& w) { w.files.failingPaths.insert(kOriginal); },
                    [](const RestoreWorld& w) { return w.T(enc::RestorePlaceholderFailed) + kOriginal + u"]"; },
                    [](const RestoreWorld& w) { EXPECT_TRUE(w.files.Find(kOriginal)->isFolder); }},
        RefusalCase{"a different autorun value took the place",
                    [](RestoreWorld& w) { w.registry.Set(kCurrentUser, w.RunKey(), u"좀비 자동", {1, {'n', 0, 0, 0}}); },
                    [](const RestoreWorld& w) {
                      return w.T(enc::RestoreValueOccupied) + w.RunKey() + u"\\좀비 자동]";
                    },
                    [](const RestoreWorld& w) {
                      EXPECT_EQ(w.registry.Get(kCurrentUser, w.RunKey(), u"좀비 자동"),
                                (RawRegistryValue{1, {'n', 0, 0, 0}}));
                    }},
        RefusalCase{"the service cannot be created", [](RestoreWorld& w) { w.services.failCreates = true; },
                    [](const RestoreWorld& w) { return w.T(enc::RestoreServiceFailed) + u"ZcTestSvc]"; },
                    [](const RestoreWorld& w) {
                      // No stray service key is made for the Start value either.
                      EXPECT_FALSE(w.registry.Get(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start"));
                    }}));

TEST(Restore, AFileAlreadyBackInPlaceCountsAsRestored) {
  RestoreWorld w;
  PlantAndTreat(w);
  w.files.entries.erase(FoldCase(kOriginal));
  w.files.AddFile(kOriginal, kProgram);
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.restoredTreatments, 1);
}

TEST(Restore, ARecordEndingInACutLineIsMarkedRestoredReadably) {
  RestoreWorld w;
  PlantAndTreat(w);
  w.files.entries[FoldCase(w.RecordOf(kFolder))].content += "registry-value\ttreatment=1\troot=0x8000";
  ASSERT_TRUE(w.runner.Restore(kFolder).Succeeded());
  const RecordReading reading = ReadTreatmentRecord(w.files.Content(w.RecordOf(kFolder)));
  EXPECT_TRUE(reading.faults.empty());
  ASSERT_EQ(reading.treatments.size(), 1u);
  EXPECT_TRUE(reading.treatments[0].restored);
}

TEST(Restore, NewestTreatmentFirst) {
  RestoreWorld w;
  w.files.AddFolder(kRoot);
  w.files.AddFolder(kFolder);
  for (const Text& name : {Text(u"first"), Text(u"second")}) {
    w.registry.Set(kCurrentUser, w.RunKey(), name, kAutorun);
    w.recorder.Begin(kFolder, name, u"reg Infection");
    w.recorder.RegistryValue(kCurrentUser, w.RunKey(), name);
    w.registry.Remove(kCurrentUser, w.RunKey(), name);
  }
  ASSERT_TRUE(w.runner.Restore(kFolder).Succeeded());
  const std::vector<Text> log = w.log.LinesOf(Text(kFolder) + u"\\");
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1], u"second" + w.T(enc::RestoreTreatmentDone));
  EXPECT_EQ(log[3], u"first" + w.T(enc::RestoreTreatmentDone));
}

// A record whose entries point outside what a treatment touches is refused whole.
struct BadRecordCase {
  const char* what;
  std::string entry;
  const char* fault;
};

class BadRecords : public ::testing::TestWithParam<BadRecordCase> {};

TEST_P(BadRecords, ChangeNothing) {
  const BadRecordCase& c = GetParam();
  RestoreWorld w;
  w.files.AddFolder(kRoot);
  w.files.AddFolder(u"C:\\좀비치료백업\\b");
  w.files.AddFolder(u"C:\\a", kPlaceholder);
  w.files.AddFile(u"C:\\좀비치료백업\\b\\a", "MZ");
  w.files.AddFile(w.RecordOf(u"C:\\좀비치료백업\\b"), "begin\ttreatment=1\ttime=t\tname=a\tkind=k\tend\n"
                                        "registry-value\ttreatment=1\troot=0x80000001\tkey=" +
                                            ToUtf8(w.RunKey()) + "\tvalue=v\ttype=1\tdata=7800\tend\n" + c.entry);
  const auto before = w.files.entries;
  const RestoreOutcome outcome = w.runner.Restore(u"C:\\좀비치료백업\\b");
  ASSERT_GE(outcome.problems.size(), 2u) << c.what;
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreRecordBad) + w.RecordOf(u"C:\\좀비치료백업\\b") + u"]") << c.what;
  EXPECT_NE(ToUtf8(outcome.problems[1]).find(c.fault), std::string::npos) << c.what << ToUtf8(outcome.problems[1]);
  EXPECT_TRUE(w.registry.values.empty()) << c.what;
  EXPECT_EQ(w.files.entries.size(), before.size()) << c.what;
  EXPECT_TRUE(w.files.Find(u"C:\\a")->isFolder) << c.what;
  EXPECT_TRUE(w.log.lines.empty()) << c.what;
}

const std::string kDigestOfMZ = ToUtf8(fakes::StandInDigest("MZ"));

INSTANTIATE_TEST_SUITE_P(
    Restore, BadRecords,
    ::testing::Values(
        BadRecordCase{"backup name climbs out", "file\ttreatment=1\tpath=C:\\a\tbackup=..\\..\\Windows\\x\tlength=2\tsha256=" +
                                                    kDigestOfMZ + "\tattributes=0\tend\n",
                      "leaves the backup folder"},
        BadRecordCase{"backup name is a full path", "file\ttreatment=1\tpath=C:\\a\tbackup=D:\\x\tlength=2\tsha256=" +
                                                        kDigestOfMZ + "\tattributes=0\tend\n",
                      "leaves the backup folder"},
        BadRecordCase{"original path is relative", "file\ttreatment=1\tpath=a\\b.exe\tbackup=a\tlength=2\tsha256=" +
                                                       kDigestOfMZ + "\tattributes=0\tend\n",
                      "not a plain full path"},
        BadRecordCase{"original path climbs", "file\ttreatment=1\tpath=C:\\x\\..\\a\tbackup=a\tlength=2\tsha256=" +
                                                  kDigestOfMZ + "\tattributes=0\tend\n",
                      "not a plain full path"},
        BadRecordCase{"value under another key",
                      "registry-value\ttreatment=1\troot=0x80000002\tkey=SYSTEM\\Setup\tvalue=v\ttype=1\tdata=00\tend\n",
                      "never deletes from"},
        BadRecordCase{"service name with a separator", "service-start\ttreatment=1\tservice=..\\Tcpip\tstart=2\tend\n",
                      "not a plain name"},
        BadRecordCase{"unreadable entry", "file\ttreatment=1\tpath=C:\\a\tend\n", "line 3"}));

TEST(Restore, APlaceholderOnlyStepAtAPathWithArgumentsIsPassedOver) {
  RestoreWorld w;
  w.files.AddFolder(u"C:\\좀비치료백업\\b");
  w.files.AddFile(w.RecordOf(u"C:\\좀비치료백업\\b"), "begin\ttreatment=1\ttime=t\tname=a\tkind=service Hide\tend\n"
                                        "file\ttreatment=1\tpath=\"C:\\a b\\svc.exe\" -k\tbackup=\tlength=0\tsha256=" +
                                            std::string(64, '0') + "\tattributes=0\tend\n");
  const RestoreOutcome outcome = w.runner.Restore(u"C:\\좀비치료백업\\b");
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.restoredTreatments, 1);
}

TEST(Restore, AMissingRecordSaysSo) {
  RestoreWorld w;
  w.files.AddFolder(u"C:\\좀비치료백업\\b");
  const RestoreOutcome outcome = w.runner.Restore(u"C:\\좀비치료백업\\b");
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreRecordMissing) + w.RecordOf(u"C:\\좀비치료백업\\b") + u"]");
  EXPECT_TRUE(w.log.lines.empty());
}

}  // namespace
}  // namespace zc::testing
