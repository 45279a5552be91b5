// Who can steer the restore: only records the program wrote, in folders only
// administrators can change, are acted on without asking. Everything else is shown
// step by step and taken only on a yes, and never creates a service or writes under
// HKLM, whatever the answer. The treatment writes nowhere a junction points.

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>

#include "core/restore/backup_store.h"
#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kRoot[] = u"C:\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\evil.exe";
constexpr char16_t kBackup[] = u"C:\\좀비치료백업\\evil.exe\\evil.exe";
constexpr char16_t kOriginal[] = u"C:\\app\\evil.exe";
constexpr char16_t kSystemFile[] = u"C:\\Windows\\System32\\evil.dll";
constexpr uint32_t kPlaceholder = 0x10 | 0x7;

ServiceConfig SystemService(TextView name, TextView image) {
  ServiceConfig config;
  config.name = Text(name);
  config.imagePath = Text(image);
  config.serviceType = 0x10;
  config.startType = 2;
  config.errorControl = 1;
  config.account = u"LocalSystem";
  return config;
}

const RawRegistryValue kRunData{1, {'C', 0, ':', 0, '\\', 0, 'x', 0, 0, 0}};

Text KeyPath(const RestoreWorld& w) { return Text(kRoot) + u"\\" + w.T(enc::SealKeyFileName); }

// A genuine treatment, recorded as the pass records it: a service, an HKLM autorun
// value and the file they start.
void Treat(RestoreWorld& w) {
  w.files.AddFolder(kRoot);
  w.files.AddFolder(u"C:\\app");
  w.files.AddFile(kOriginal, "MZ program");
  w.services.Add(SystemService(u"ZcEvil", kOriginal));
  w.registry.Set(kLocalMachine, w.RunKey(), u"evil", kRunData);
  ASSERT_TRUE(w.recorder.Begin(kFolder, u"evil.exe", u"reg Infection"));
  w.recorder.RegistryValue(kLocalMachine, w.RunKey(), u"evil");
  w.registry.Remove(kLocalMachine, w.RunKey(), u"evil");
  w.files.CopyWithoutReplacing(kOriginal, kBackup);
  w.recorder.File(kOriginal, kBackup);
  w.files.entries.erase(FoldCase(kOriginal));
  w.files.AddFolder(kOriginal, kPlaceholder);
  w.recorder.ServiceDelete(u"ZcEvil");
  w.services.Remove(u"ZcEvil");
}

std::string Record(const RestoreWorld& w) { return w.files.Content(w.RecordOf(kFolder)); }
void SetRecord(RestoreWorld& w, std::string content) { w.files.entries[FoldCase(w.RecordOf(kFolder))].content = content; }
std::string Line(const TreatmentStep& step) { return FormatRecordLine(StepLine(1, step)); }

// --- the trust table -------------------------------------------------------------------

struct TrustCase {
  const char* what;
  std::function<void(RestoreWorld&)> change;  // after the treatment
  bool trusted;
};

class Trust : public ::testing::TestWithParam<TrustCase> {};

TEST_P(Trust, OnlyOurOwnRecordIsActedOnWithoutAskingStepByStep) {
  const TrustCase& c = GetParam();
  RestoreWorld w;
  Treat(w);
  c.change(w);
  // Yes to the list of steps, no to every single step asked after it.
  w.confirm.answers = {true};
  w.confirm.answer = false;
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  ASSERT_FALSE(w.confirm.questions.empty()) << c.what;
  if (c.trusted) {
    EXPECT_TRUE(outcome.Succeeded()) << c.what << ToUtf8(outcome.problems.front());
    EXPECT_EQ(w.confirm.questions.size(), 1u) << c.what;  // the list alone
    EXPECT_EQ(w.confirm.questions[0].rfind(w.T(enc::RestoreOverviewLead), 0), 0u) << c.what;
    EXPECT_TRUE(w.services.Exists(u"ZcEvil")) << c.what;
    EXPECT_EQ(w.registry.Get(kLocalMachine, w.RunKey(), u"evil"), kRunData) << c.what;
    EXPECT_EQ(w.files.Content(kOriginal), "MZ program") << c.what;
    return;
  }
  // Not ours: the list says so, the service and the HKLM value are refused without a
  // question, the file is asked about and, answered no, stays in the backup.
  EXPECT_EQ(w.confirm.questions[0].rfind(w.T(enc::RestoreOverviewUntrustedLead), 0), 0u) << c.what;
  EXPECT_EQ(w.services.creates, 0) << c.what;
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.RunKey(), u"evil")) << c.what;
  ASSERT_EQ(w.confirm.questions.size(), 2u) << c.what;
  EXPECT_NE(w.confirm.questions[1].find(Text(kBackup) + w.T(enc::RestoreItemArrow) + kOriginal), Text::npos) << c.what;
  EXPECT_TRUE(w.files.Find(kOriginal)->isFolder) << c.what;
  EXPECT_EQ(outcome.restoredTreatments, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Restore, Trust,
    ::testing::Values(
        TrustCase{"ours, untouched", [](RestoreWorld&) {}, true},
        TrustCase{"a line appended to our record",
                  [](RestoreWorld& w) {
                    w.files.AppendWhole(w.RecordOf(kFolder), Line(ServiceDeleteStep{SystemService(u"ZcX", u"C:\\x.exe")}));
                  },
                  false},
        TrustCase{"a sealed line of another backup folder's record",
                  [](RestoreWorld& w) {
                    const Text other = Text(kRoot) + u"\\other.exe";
                    w.services.Add(SystemService(u"ZcX", u"C:\\x.exe"));
                    w.recorder.Begin(other, u"other.exe", u"service Hide");
                    w.recorder.ServiceDelete(u"ZcX");
                    w.services.Remove(u"ZcX");
                    const std::string lines = w.files.Content(w.RecordOf(other));
                    w.files.AppendWhole(w.RecordOf(kFolder), lines.substr(lines.find("service\t")));
                  },
                  false},
        TrustCase{"a record from before entries were sealed",
                  [](RestoreWorld& w) { SetRecord(w, std::regex_replace(Record(w), std::regex("\tseal=[0-9a-f]+"), "")); },
                  false},
        TrustCase{"the record file can be written by users",
                  [](RestoreWorld& w) { w.security.Set(w.RecordOf(kFolder), fakes::MadeByUser(false)); }, false},
        TrustCase{"the record file has a second link",
                  [](RestoreWorld& w) {
                    SecurityFacts facts = fakes::AdministratorsOnly(false);
                    facts.links = 2;
                    w.security.Set(w.RecordOf(kFolder), facts);
                  },
                  false},
        TrustCase{"the backup folder was made by a user",
                  [](RestoreWorld& w) { w.security.Set(kFolder, fakes::MadeByUser(true)); }, false},
        TrustCase{"the root was open to users (taken over: a new key)",
                  [](RestoreWorld& w) { w.security.Set(kRoot, fakes::MadeByUser(true)); }, false},
        TrustCase{"the key can be written by users",
                  [](RestoreWorld& w) { w.security.Set(KeyPath(w), fakes::MadeByUser(false)); }, false},
        TrustCase{"the key was replaced",
                  [](RestoreWorld& w) { w.files.entries[FoldCase(KeyPath(w))].content = std::string(32, 'k'); },
                  false},
        // An administrator's unelevated programs run as the same account.
        TrustCase{"the root belongs to the administrator's own account",
                  [](RestoreWorld& w) { w.security.Set(kRoot, fakes::MadeByOwnAccount(true)); }, false},
        TrustCase{"the backup folder belongs to the administrator's own account",
                  [](RestoreWorld& w) { w.security.Set(kFolder, fakes::MadeByOwnAccount(true)); }, false},
        TrustCase{"the key belongs to the administrator's own account",
                  [](RestoreWorld& w) { w.security.Set(KeyPath(w), fakes::MadeByOwnAccount(false)); }, false},
        TrustCase{"the record belongs to the administrator's own account",
                  [](RestoreWorld& w) { w.security.Set(w.RecordOf(kFolder), fakes::MadeByOwnAccount(false)); }, false},
        TrustCase{"users may only delete the record",
                  [](RestoreWorld& w) {
                    SecurityFacts facts = fakes::AdministratorsOnly(false);
                    facts.entries.push_back(fakes::Allow(Principal::Users, 0x00010000));
                    w.security.Set(w.RecordOf(kFolder), facts);
                  },
                  false},
        TrustCase{"users may only change the backup folder's permissions",
                  [](RestoreWorld& w) {
                    SecurityFacts facts = fakes::AdministratorsOnly(true);
                    facts.entries.push_back(fakes::Allow(Principal::Users, 0x00040000));
                    w.security.Set(kFolder, facts);
                  },
                  false},
        TrustCase{"TrustedInstaller may change the backup folder",
                  [](RestoreWorld& w) {
                    SecurityFacts facts = fakes::AdministratorsOnly(true);
                    facts.entries.push_back(fakes::Allow(Principal::TrustedInstaller, 0x001F01FF));
                    w.security.Set(kFolder, facts);
                  },
                  true}));

// --- a record the program never wrote ----------------------------------------------------

// What a user could plant: a LocalSystem service, a driver, a file into System32, an
// HKLM autorun value, a Start value of an existing service.
void Plant(RestoreWorld& w) {
  w.files.AddFolder(kRoot);
  w.files.AddFolder(u"C:\\Windows");
  w.files.AddFolder(u"C:\\Windows\\System32");
  w.files.AddFolder(kFolder);
  w.files.AddFile(Text(kFolder) + u"\\evil.dll", "MZ evil");
  w.services.Add(SystemService(u"Tcpip", u"C:\\Windows\\tcpip.sys"));
  FileStep file{kSystemFile, u"evil.dll", 7, fakes::StandInDigest("MZ evil"), 0x20};
  ServiceConfig driver = SystemService(u"ZcDriver", u"C:\\evil.sys");
  driver.serviceType = 1;
  driver.startType = 0;
  SetRecord(w, FormatRecordLine(BeginLine(1, u"t", u"evil.exe", u"service Hide")) +
                   Line(ServiceDeleteStep{SystemService(u"ZcEvil", u"C:\\evil.exe")}) +
                   Line(ServiceDeleteStep{driver}) + Line(file) +
                   Line(RegistryValueStep{kLocalMachine, w.RunKey(), u"evil", kRunData}) +
                   Line(ServiceStartStep{u"Tcpip", 4}));
}

TEST(PlantedRecord, NothingHappensWithoutTheItemizedYes) {
  RestoreWorld w;
  Plant(w);
  w.confirm.answers = {true};  // yes to the list, no to the step
  w.confirm.answer = false;
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_EQ(w.services.creates, 0);
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.RunKey(), u"evil"));
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.ServiceKey(u"Tcpip"), u"Start"));
  EXPECT_EQ(w.files.Find(kSystemFile), nullptr);
  // After the list, only the file is asked about, naming the copy and the place in full.
  ASSERT_EQ(w.confirm.questions.size(), 2u);
  const Text fileStep = w.T(enc::RestoreItemFile) + kFolder + u"\\evil.dll" + w.T(enc::RestoreItemArrow) + kSystemFile;
  EXPECT_EQ(w.confirm.questions[1], w.T(enc::RestoreUntrustedLead) + u"\r\n\r\n" + fileStep);
  // The list names the file as a step and the services, the value and the Start as
  // steps that will not be taken.
  const Text& overview = w.confirm.questions[0];
  const size_t refusedHead = overview.find(w.T(enc::RestoreOverviewRefusedHead));
  ASSERT_NE(refusedHead, Text::npos) << ToUtf8(overview);
  EXPECT_LT(overview.find(fileStep), refusedHead);
  EXPECT_GT(overview.find(w.T(enc::RestoreItemService) + u"ZcDriver (C:\\evil.sys, LocalSystem)"), refusedHead);
  EXPECT_GT(overview.find(w.T(enc::RestoreItemStart) + u"Tcpip (Start 4)"), refusedHead);
  EXPECT_EQ(outcome.problems.size(), 5u);  // two services, the value, the Start, the declined file
}

TEST(PlantedRecord, ANoToTheListAsksNothingMoreAndDoesNothing) {
  RestoreWorld w;
  Plant(w);
  w.confirm.answers = {false};
  w.confirm.answer = true;
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  EXPECT_EQ(w.confirm.questions.size(), 1u);
  EXPECT_EQ(w.files.Find(kSystemFile), nullptr);
  EXPECT_EQ(w.services.creates, 0);
  ASSERT_TRUE(outcome.recordRefused);
  EXPECT_EQ(outcome.problems.at(0).rfind(w.T(enc::RestoreOverviewDeclined), 0), 0u);
}

TEST(PlantedRecord, AYesPutsTheFileButNeverAServiceOrAMachineValue) {
  RestoreWorld w;
  Plant(w);
  w.confirm.answer = true;
  w.runner.Restore(kFolder);
  EXPECT_EQ(w.files.Content(kSystemFile), "MZ evil");
  EXPECT_EQ(w.services.creates, 0);
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.RunKey(), u"evil"));
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.ServiceKey(u"Tcpip"), u"Start"));
}

TEST(PlantedRecord, AUserValueIsShownWithItsDataAndPutBackOnlyOnYes) {
  for (const bool answer : {false, true}) {
    RestoreWorld w;
    w.files.AddFolder(kRoot);
    w.files.AddFolder(kFolder);
    SetRecord(w, FormatRecordLine(BeginLine(1, u"t", u"evil.exe", u"reg Infection")) +
                     Line(RegistryValueStep{kCurrentUser, w.RunKey(), u"evil", kRunData}));
    w.confirm.answers = {true};
    w.confirm.answer = answer;
    w.runner.Restore(kFolder);
    ASSERT_EQ(w.confirm.questions.size(), 2u);
    for (const Text& question : w.confirm.questions) {
      EXPECT_NE(question.find(u"HKCU\\" + w.RunKey() + u"\\evil" + w.T(enc::RestoreItemData) + u"C:\\x"), Text::npos)
          << ToUtf8(question);
    }
    EXPECT_EQ(w.registry.Get(kCurrentUser, w.RunKey(), u"evil").has_value(), answer);
  }
}

// --- refused whole ---------------------------------------------------------------------

struct RefusedCase {
  const char* what;
  Text folder;
  std::function<void(RestoreWorld&)> change;
  TextView problem;
};

class RefusedWhole : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedWhole, NothingIsAskedOrChanged) {
  const RefusedCase& c = GetParam();
  RestoreWorld w;
  Treat(w);
  if (c.folder != kFolder) {
    w.files.AddFolder(u"C:\\elsewhere");
    w.files.AddFolder(c.folder);
    w.files.AddFile(w.RecordOf(c.folder), Record(w));
  }
  c.change(w);
  const RestoreOutcome outcome = w.runner.Restore(c.folder);
  ASSERT_TRUE(outcome.recordRefused) << c.what;
  EXPECT_EQ(outcome.problems.at(0).rfind(w.T(c.problem), 0), 0u) << c.what << ToUtf8(outcome.problems[0]);
  EXPECT_TRUE(w.confirm.questions.empty()) << c.what;
  EXPECT_EQ(w.services.creates, 0) << c.what;
  EXPECT_TRUE(w.files.Find(kOriginal)->isFolder) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Restore, RefusedWhole,
    ::testing::Values(
        RefusedCase{"a folder outside the root", u"C:\\elsewhere\\evil.exe", [](RestoreWorld&) {},
                    enc::RestoreNotABackupFolder},
        RefusedCase{"a folder below a backup folder", Text(kFolder) + u"\\deeper", [](RestoreWorld&) {},
                    enc::RestoreNotABackupFolder},
        RefusedCase{"the backup folder is a junction", kFolder,
                    [](RestoreWorld& w) {
                      SecurityFacts facts = fakes::AdministratorsOnly(true);
                      facts.reparsePoint = true;
                      w.security.Set(kFolder, facts);
                    },
                    enc::RestoreStoreUnsafe},
        RefusedCase{"the root is a junction", kFolder,
                    [](RestoreWorld& w) {
                      SecurityFacts facts = fakes::MadeByUser(true);
                      facts.reparsePoint = true;
                      w.security.Set(kRoot, facts);
                    },
                    enc::RestoreStoreUnsafe},
        RefusedCase{"a record over 1 MiB", kFolder,
                    [](RestoreWorld& w) { SetRecord(w, Record(w) + "# " + std::string(1024 * 1024, 'x') + "\n"); },
                    enc::RestoreRecordTooLarge}));

TEST(RecordSize, ARecordOfExactly1MiBIsRead) {
  RestoreWorld w;
  Treat(w);
  const std::string record = Record(w);
  SetRecord(w, record + "#" + std::string(kMaxRecordBytes - record.size() - 2, 'x') + "\n");
  ASSERT_EQ(static_cast<int64_t>(Record(w).size()), kMaxRecordBytes);
  EXPECT_TRUE(w.runner.Restore(kFolder).Succeeded());
}

// --- the treatment's side --------------------------------------------------------------

TEST(BackupStore, TheTreatmentMakesTheRootAndFolderItsOwnAndKeepsOneKey) {
  RestoreWorld w;
  ASSERT_TRUE(w.recorder.Begin(kFolder, u"evil.exe", u"k"));
  ASSERT_TRUE(w.files.Find(kRoot) && w.files.Find(kFolder));
  EXPECT_TRUE(OnlyAdministratorsCanChange(*w.security.Facts(kRoot)));
  EXPECT_TRUE(OnlyAdministratorsCanChange(*w.security.Facts(kFolder)));
  ASSERT_TRUE(w.recorder.Begin(kFolder, u"evil.exe", u"k"));
  EXPECT_EQ(w.security.keysMade, 1);  // a sound key is kept, or earlier records would lose their trust
}

TEST(BackupStore, ARootOpenToUsersIsTakenOverWithANewKey) {
  RestoreWorld w;
  ASSERT_TRUE(w.recorder.Begin(kFolder, u"evil.exe", u"k"));
  w.security.Set(kRoot, fakes::MadeByUser(true));
  ASSERT_TRUE(w.recorder.Begin(kFolder, u"evil.exe", u"k"));
  EXPECT_TRUE(OnlyAdministratorsCanChange(*w.security.Facts(kRoot)));
  EXPECT_EQ(w.security.keysMade, 2);
}

struct UnsafeCase {
  const char* what;
  std::function<void(RestoreWorld&)> plant;
};

class UnsafeStore : public ::testing::TestWithParam<UnsafeCase> {};

TEST_P(UnsafeStore, TheTreatmentWritesNothingThere) {
  const UnsafeCase& c = GetParam();
  RestoreWorld w;
  w.files.AddFolder(kRoot);
  w.files.AddFolder(kFolder);
  c.plant(w);
  EXPECT_FALSE(w.recorder.Begin(kFolder, u"evil.exe", u"k")) << c.what;
  w.recorder.ServiceStart(kLocalMachine, w.ServiceKey(u"x"), u"x");
  EXPECT_EQ(w.files.Find(w.RecordOf(kFolder)), nullptr) << c.what;
}

SecurityFacts Junction() {
  SecurityFacts facts = fakes::MadeByUser(true);
  facts.reparsePoint = true;
  return facts;
}

INSTANTIATE_TEST_SUITE_P(
    BackupStore, UnsafeStore,
    ::testing::Values(UnsafeCase{"the root is a junction", [](RestoreWorld& w) { w.security.Set(kRoot, Junction()); }},
                      UnsafeCase{"the folder is a junction", [](RestoreWorld& w) { w.security.Set(kFolder, Junction()); }},
                      UnsafeCase{"the root cannot be taken over",
                                 [](RestoreWorld& w) {
                                   w.security.Set(kRoot, fakes::MadeByUser(true));
                                   w.security.failingPaths.insert(kRoot);
                                 }},
                      UnsafeCase{"the folder cannot be taken over", [](RestoreWorld& w) {
                                   w.security.Set(kFolder, fakes::MadeByUser(true));
                                   w.security.failingPaths.insert(kFolder);
                                 }}));

}  // namespace
}  // namespace zc::testing
