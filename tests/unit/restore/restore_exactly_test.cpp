// A restore brings back exactly what was taken, against fakes that keep the registry's
// two views, users' hives, the queue of operations at restart and the service manager
// the way Windows does: a value of the 32-bit view goes back into that view, a file whose
// deletion waits for the restart survives it, a path past 260 characters comes back, and
// a shared host's service comes back with every part the service manager kept for it.

#include <gtest/gtest.h>

#include <string>

#include "core/restore/multi_text.h"
#include "core/restore/pending_deletions.h"
#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "core/restore/service_group_list.h"
#include "tests/fakes/fake_pending_operations.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kRoot[] = u"C:\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\held.exe";
constexpr char16_t kUser[] = u"S-1-5-21-1004336348-1177238915-682003330-1001";
const std::string kProgram("MZ\x90\0held", 8);
const RawRegistryValue kAutorun{1, {'C', 0, ':', 0, '\\', 0, 'a', 0, 0, 0}};

Text Wow32Run(const RestoreWorld& w) { return u"Software\\WOW6432Node" + w.RunKey().substr(8); }
Text Queued(TextView path) { return u"\\??\\" + Text(path); }

void Begin(RestoreWorld& w) {
  w.files.AddFolder(kRoot);
  w.files.AddFolder(kFolder);
  w.recorder.Begin(kFolder, u"held.exe", u"reg Infection");
}

// A file the treatment copied but could not delete (another program holds it): its
// deletion is queued for the restart, as the pass does it.
struct HeldFile {
  Text folder;
  Text path;
};
HeldFile TreatHeldFile(RestoreWorld& w, TextView folder) {
  HeldFile held{Text(folder), Text(folder) + u"\\held.exe"};
  w.files.AddFolder(held.folder);
  w.files.AddFile(held.path, kProgram, 0x20);
  w.files.CopyWithoutReplacing(held.path, Text(kFolder) + u"\\held.exe");
  w.recorder.File(held.path, Text(kFolder) + u"\\held.exe");
  fakes::QueueAtRestart(w.registry, Queued(held.path));
  w.recorder.PendingDeletion(held.path);
  return held;
}

RestoreOutcome RestoreNow(RestoreWorld& w) { return w.runner.Restore(kFolder); }

TEST(RestoreExactly, AValueOfThe32BitViewGoesBackIntoThatViewOnly) {
  RestoreWorld w;
  w.registry.Set(kLocalMachine, Wow32Run(w), u"좀비 32", kAutorun);
  Begin(w);
  w.recorder.RegistryValue(kLocalMachine, RegistryView::Wow32, w.RunKey(), u"좀비 32");
  w.registry.Remove(kLocalMachine, Wow32Run(w), u"좀비 32");

  const std::string record = w.files.Content(w.RecordOf(kFolder));
  EXPECT_EQ(record.find("WOW6432Node"), std::string::npos) << record;  // the logical key, and the view
  EXPECT_NE(record.find("\tview=32\t"), std::string::npos) << record;
  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.registry.Get(kLocalMachine, Wow32Run(w), u"좀비 32"), kAutorun);
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.RunKey(), u"좀비 32"));
  EXPECT_FALSE(w.registry.Get(kLocalMachine, u"Software\\WOW6432Node\\WOW6432Node" + w.RunKey().substr(8), u"좀비 32"));
}

TEST(RestoreExactly, AValueRecordedByItsWow6432NodeKeyGoesBackIntoThe32BitView) {
  RestoreWorld w;
  w.registry.Set(kLocalMachine, Wow32Run(w), u"좀비 32", kAutorun);
  Begin(w);
  w.recorder.RegistryValue(kLocalMachine, Wow32Run(w), u"좀비 32");  // as the pass named it so far
  w.registry.Remove(kLocalMachine, Wow32Run(w), u"좀비 32");
  ASSERT_TRUE(RestoreNow(w).Succeeded());
  EXPECT_EQ(w.registry.Get(kLocalMachine, Wow32Run(w), u"좀비 32"), kAutorun);
}

TEST(RestoreExactly, ARecordOfTheFirstFormatWithAWow6432NodeKeyIsRestoredIntoThe32BitView) {
  RestoreWorld w;
  w.files.AddFolder(kRoot);
  w.files.AddFolder(kFolder);
  w.files.AddFile(w.RecordOf(kFolder), "begin\ttreatment=1\ttime=t\tname=a\tkind=k\tend\r\n"
                                       "registry-value\ttreatment=1\troot=0x80000002\tkey=" +
                                           ToUtf8(Wow32Run(w)) + "\tvalue=v\ttype=1\tdata=7800\tend\r\n");
  // Written before entries were sealed: asked for step by step, and a value under HKLM
  // is never written from such a record.
  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_NE(ToUtf8(outcome.problems[0]).find("HKLM\\" + ToUtf8(w.RunKey()) + " (32-bit)\\v"), std::string::npos)
      << ToUtf8(outcome.problems[0]);
}

TEST(RestoreExactly, AValueOfAUsersHiveGoesBackIntoThatHiveWhileItIsLoaded) {
  RestoreWorld w;
  w.registry.MakeKey(kUsersRoot, kUser);  // the user is logged on
  w.registry.Set(kUsersRoot, Text(kUser) + u"\\" + w.RunKey(), u"좀비", kAutorun);
  Begin(w);
  w.recorder.RegistryValue(kCurrentUser, RegistryView::Native, w.RunKey(), u"좀비", kUser);
  w.registry.Remove(kUsersRoot, Text(kUser) + u"\\" + w.RunKey(), u"좀비");

  // Logged off: the hive is not there, and it is never made.
  w.registry.RemoveKey(kUsersRoot, kUser);
  RestoreOutcome outcome = RestoreNow(w);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreHiveNotLoaded) + u"HKEY_USERS\\" + kUser + u"\\" + w.RunKey() +
                                     u"\\좀비]");
  EXPECT_FALSE(w.registry.KeyOpens({kCurrentUser, RegistryView::Native, {}, kUser}));
  EXPECT_FALSE(w.registry.Get(kCurrentUser, w.RunKey(), u"좀비"));  // not the running account's either

  w.registry.MakeKey(kUsersRoot, kUser);
  outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.registry.Get(kUsersRoot, Text(kUser) + u"\\" + w.RunKey(), u"좀비"), kAutorun);
  EXPECT_FALSE(w.registry.Get(kCurrentUser, w.RunKey(), u"좀비"));
}

// Another installer's operations share the queue: they stay exactly as they were.
void QueueOthers(RestoreWorld& w) {
  fakes::QueueAtRestart(w.registry, u"\\??\\C:\\setup\\old.dll");
  fakes::QueueAtRestart(w.registry, u"\\??\\C:\\setup\\new.tmp", u"!\\??\\C:\\setup\\new.dll");
}

TEST(RestoreExactly, AHeldFileRestoredBeforeTheRestartSurvivesIt) {
  RestoreWorld w;
  QueueOthers(w);
  Begin(w);
  const HeldFile held = TreatHeldFile(w, u"C:\\앱");
  QueueOthers(w);

  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(outcome.restoredTreatments, 1);
  EXPECT_EQ(w.log.LinesOf(Text(kFolder) + u"\\").front(), w.T(enc::RestorePendingCancelled) + held.path + u"]");
  const std::vector<Text> others = {u"\\??\\C:\\setup\\old.dll", u"", u"\\??\\C:\\setup\\new.tmp",
                                    u"!\\??\\C:\\setup\\new.dll"};
  std::vector<Text> expected = others;
  expected.insert(expected.end(), others.begin(), others.end());
  EXPECT_EQ(fakes::PendingOperations(w.registry), expected);

  fakes::Restart(w.registry, w.files);
  EXPECT_EQ(w.files.Content(held.path), kProgram);
}

TEST(RestoreExactly, AHeldFileRestoredAfterTheRestartIsCopiedBack) {
  RestoreWorld w;
  Begin(w);
  const HeldFile held = TreatHeldFile(w, u"C:\\앱");
  fakes::Restart(w.registry, w.files);
  ASSERT_FALSE(w.files.Find(held.path));

  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.files.Content(held.path), kProgram);
}

TEST(RestoreExactly, AFileLongerThanTheClassicLimitComesBackWithItsQueuedDeletionTakenOut) {
  RestoreWorld w;
  Text folder = u"C:\\앱";
  while (folder.size() < 270) {
    folder += u"\\아주 긴 폴더 이름 " + DecimalText(static_cast<long long>(folder.size()));
    w.files.AddFolder(folder);
  }
  Begin(w);
  const HeldFile held = TreatHeldFile(w, folder);
  ASSERT_GT(held.path.size(), 260u);
  // The pass names a long path in its "\\?\" form: the queue holds "\??\" all the same.
  w.recorder.PendingDeletion(u"\\\\?\\" + held.path);
  w.files.entries.erase(FoldCase(held.path));  // went meanwhile, but the queue still names it

  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_TRUE(fakes::PendingOperations(w.registry).empty());
  fakes::Restart(w.registry, w.files);
  EXPECT_EQ(w.files.Content(held.path), kProgram);
}

struct QueueCase {
  const char* what;
  std::function<void(RestoreWorld&, const HeldFile&)> change;  // made after the treatment
};

class QueueRefusals : public ::testing::TestWithParam<QueueCase> {};

// Where the queued deletion cannot be taken out for sure, the file is not counted as
// back: the user is told to restart first, and the queue keeps every other entry.
TEST_P(QueueRefusals, SayRestartFirstAndLeaveTheQueue) {
  const QueueCase& c = GetParam();
  RestoreWorld w;
  Begin(w);
  const HeldFile held = TreatHeldFile(w, u"C:\\앱");
  QueueOthers(w);
  c.change(w, held);
  const auto queueBefore = w.registry.Get(fakes::kPendingRoot, fakes::kPendingKey, fakes::kPendingValue);
  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_EQ(outcome.problems.size(), 1u) << c.what;
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreRestartFirst) + held.path + u"]") << c.what;
  EXPECT_EQ(outcome.restoredTreatments, 0) << c.what;
  EXPECT_EQ(w.registry.Get(fakes::kPendingRoot, fakes::kPendingKey, fakes::kPendingValue), queueBefore) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    RestoreExactly, QueueRefusals,
    ::testing::Values(
        QueueCase{"the entry is missing while the file is still there",
                  [](RestoreWorld& w, const HeldFile&) {
                    w.registry.Remove(fakes::kPendingRoot, fakes::kPendingKey, fakes::kPendingValue);
                    QueueOthers(w);
                  }},
        QueueCase{"the path is queued to be renamed instead",
                  [](RestoreWorld& w, const HeldFile& held) {
                    w.registry.Remove(fakes::kPendingRoot, fakes::kPendingKey, fakes::kPendingValue);
                    fakes::QueueAtRestart(w.registry, FoldCase(Queued(held.path)), u"\\??\\C:\\elsewhere.exe");
                  }},
        QueueCase{"the queue cannot be written",
                  [](RestoreWorld& w, const HeldFile&) { w.registry.failWrites = true; }},
        QueueCase{"the queue is not a list",
                  [](RestoreWorld& w, const HeldFile&) {
                    w.registry.Set(fakes::kPendingRoot, fakes::kPendingKey, fakes::kPendingValue, {3, {1, 2}});
                  }}));

// Taken out once, the deletion is noted: a later restore of the same treatment does not
// wait for a restart that can no longer delete anything.
TEST(RestoreExactly, AQueuedDeletionTakenOutOnceIsNotAskedForAgain) {
  RestoreWorld w;
  w.registry.Set(kCurrentUser, w.RunKey(), u"좀비", kAutorun);
  Begin(w);
  w.recorder.RegistryValue(kCurrentUser, RegistryView::Native, w.RunKey(), u"좀비");
  w.registry.Remove(kCurrentUser, w.RunKey(), u"좀비");
  const HeldFile held = TreatHeldFile(w, u"C:\\앱");
  w.registry.deniedKeys.insert({kCurrentUser, FoldCase(w.RunKey())});  // the value cannot go back yet

  RestoreOutcome outcome = RestoreNow(w);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreValueFailed) + w.RunKey() + u"\\좀비]");
  w.registry.deniedKeys.clear();
  outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.files.Content(held.path), kProgram);
}

// A shared host's service: configuration, settings, security, a private value
// (Parameters\ServiceDll) and its place in the host's group list.
constexpr char16_t kService[] = u"ZcShared";
const Text kGroups = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Svchost";
const RawRegistryValue kServiceDll{2, {'%', 0, 'Z', 0, '%', 0, '\\', 0, 'z', 0, '.', 0, 'd', 0, 'l', 0, 'l', 0, 0, 0}};

ServiceConfig SharedService() {
  ServiceConfig config;
  config.name = kService;
  config.displayName = u"좀비 공유 서비스";
  config.imagePath = u"%SystemRoot%\\System32\\svchost.exe -k zcgroup";
  config.serviceType = 0x20;
  config.startType = 2;
  config.errorControl = 1;
  config.account = u"LocalSystem";
  config.description = u"공유 호스트에서 도는 서비스";
  return config;
}

ServiceSettings SharedSettings() {
  ServiceSettings settings;
  settings.failureActions = ServiceFailureActions{86400, {}, {}, {{1, 60000}, {1, 120000}}};
  settings.failureActionsOnNonCrash = true;
  settings.delayedAutoStart = true;
  settings.requiredPrivileges = std::vector<Text>{u"SeChangeNotifyPrivilege"};
  settings.sidType = 1;
  settings.triggers = std::vector<ServiceTrigger>{{1, 1, std::vector<uint8_t>(16, 7), {}}};
  settings.preshutdownTimeoutMs = 10000;
  settings.securityDescriptor = std::vector<uint8_t>{1, 0, 4, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  return settings;
}

void PlantSharedService(RestoreWorld& w) {
  w.services.Add(SharedService());
  w.services.settings[FoldCase(kService)] = SharedSettings();
  w.registry.Set(kLocalMachine, w.ServiceKey(kService), u"Start", {4, {2, 0, 0, 0}});
  w.registry.Set(kLocalMachine, w.ServiceKey(kService) + u"\\Parameters", u"ServiceDll", kServiceDll);
  w.registry.Set(kLocalMachine, w.ServiceKey(kService) + u"\\Parameters\\Extra", u"Level", {4, {3, 0, 0, 0}});
  w.registry.Set(kLocalMachine, w.ServiceKey(kService) + u"\\Security", u"Security", {3, {1, 2, 3}});
  w.registry.Set(kLocalMachine, kGroups, u"zcgroup", {7, MultiTextData({u"Other", u"ZCSHARED", u"Third"})});
}

// As the pass treats a service that a shared host runs: each step recorded first.
void TreatSharedService(RestoreWorld& w) {
  w.recorder.ServiceStart(kLocalMachine, w.ServiceKey(kService), kService);
  w.registry.Set(kLocalMachine, w.ServiceKey(kService), u"Start", {4, {4, 0, 0, 0}});
  w.services.Stop(kService);
  w.recorder.ServiceDelete(kService);
  ASSERT_EQ(RemoveFromServiceGroup(w.texts, w.registry, u"zcgroup", kService), GroupListChange::Changed);
  w.services.Delete(kService);
  w.registry.RemoveKey(kLocalMachine, w.ServiceKey(kService));  // its whole key goes with it
}

TEST(RestoreExactly, ASharedHostsServiceComesBackWithEveryPartAndRunsAgain) {
  RestoreWorld w;
  PlantSharedService(w);
  Begin(w);
  TreatSharedService(w);
  ASSERT_EQ(MultiTextItems(w.registry.Get(kLocalMachine, kGroups, u"zcgroup")->data),
            (std::vector<Text>{u"Other", u"Third"}));

  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.services.QueryConfig(kService), SharedService());
  EXPECT_EQ(w.services.QuerySettings(kService), SharedSettings());
  EXPECT_EQ(w.registry.Get(kLocalMachine, w.ServiceKey(kService) + u"\\Parameters", u"ServiceDll"), kServiceDll);
  EXPECT_EQ(w.registry.Get(kLocalMachine, w.ServiceKey(kService) + u"\\Parameters\\Extra", u"Level"),
            (RawRegistryValue{4, {3, 0, 0, 0}}));
  // The system's own subkey comes back through the service manager, never by a write.
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.ServiceKey(kService) + u"\\Security", u"Security"));
  EXPECT_EQ(MultiTextItems(w.registry.Get(kLocalMachine, kGroups, u"zcgroup")->data),
            (std::vector<Text>{u"Other", u"Third", kService}));
  EXPECT_EQ(w.services.calls.back(), (std::pair<std::string, Text>{"start", kService}));
}

TEST(RestoreExactly, AServicePartThatCannotComeBackIsNamed) {
  RestoreWorld w;
  PlantSharedService(w);
  Begin(w);
  TreatSharedService(w);
  w.services.failingParts = {ServicePart::Triggers, ServicePart::Security};
  w.registry.deniedKeys.insert({kLocalMachine, FoldCase(w.ServiceKey(kService) + u"\\Parameters")});

  const RestoreOutcome outcome = RestoreNow(w);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreServicePartFailed) + kService +
                                     u": TriggerInfo, Security, Parameters\\ServiceDll]");
  EXPECT_TRUE(w.services.Exists(kService));
  EXPECT_NE(w.services.calls.back().first, "start");  // not started without its parts
}

TEST(RestoreExactly, RecordsPlanOnlyWhatATreatmentTouches) {
  struct Case {
    const char* what;
    std::string entries;
    const char* fault;
  };
  const std::string begin = "begin\ttreatment=1\ttime=t\tname=a\tkind=k\tformat=2\tend\n";
  const Case cases[] = {
      {"a queued deletion of a file the treatment did not take", "pending-deletion\ttreatment=1\tpath=\\??\\C:\\Windows\\x.dll\tend\n",
       "names no file of the treatment"},
      {"a user that is no SID", "registry-value\ttreatment=1\troot=0x80000001\tkey=Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                                "\tvalue=v\ttype=1\tdata=00\tview=64\tuser=..\\S-1\tend\n",
       "not a SID"},
      {"a user beside HKLM", "registry-value\ttreatment=1\troot=0x80000002\tkey=Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                             "\tvalue=v\ttype=1\tdata=00\tview=64\tuser=S-1-5-18\tend\n",
       "not a SID of HKCU"},
      {"a private value outside the service's key",
       "service-value\ttreatment=1\tservice=s\tkey=..\\..\\Run\tvalue=v\ttype=1\tdata=00\tend\n", "leaves the service's key"},
      {"a group that is a path", "service-group\ttreatment=1\tservice=s\tgroup=a\\b\tend\n", "group is not a plain name"},
  };
  for (const Case& c : cases) {
    const RestorePlan plan =
        PlanRestore(ReadTreatmentRecord(begin + c.entries), kFolder, RestoreRunner::TreatmentLimits(RestoreWorld().texts));
    ASSERT_EQ(plan.faults.size(), 1u) << c.what;
    EXPECT_NE(plan.faults[0].find(c.fault), std::string::npos) << c.what << ": " << plan.faults[0];
    EXPECT_TRUE(plan.treatments.empty()) << c.what;
  }
}

TEST(MultiText, ReadByItsByteLength) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    std::vector<Text> items;
  };
  const Case cases[] = {
      {"empty", {}, {}},
      {"only the closing zero", {0, 0}, {}},
      {"two texts", {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, {u"a", u"b"}},
      {"an empty text inside", {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0}, {u"a", u"", u"b"}},
      {"a deletion pair at the end", {'a', 0, 0, 0, 0, 0, 0, 0}, {u"a", u""}},
      {"no closing zero", {'a', 0, 0, 0, 'b', 0, 0, 0}, {u"a", u"b"}},
      {"a last text without its zero", {'a', 0, 0, 0, 'b', 0}, {u"a", u"b"}},
      {"an odd last byte", {'a', 0, 0, 0, 0, 0, 7}, {u"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(MultiTextItems(c.data), c.items) << c.what;
  EXPECT_EQ(MultiTextData({u"a", u"", u"b"}), (std::vector<uint8_t>{'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
}

TEST(ServiceGroupList, ChangesOneNameAndLeavesTheRest) {
  RestoreWorld w;
  w.registry.Set(kLocalMachine, kGroups, u"g", {7, MultiTextData({u"a", u"ZcSvc", u"b", u"zcsvc"})});
  EXPECT_EQ(GroupsListing(w.texts, w.registry, u"ZCSVC"), std::vector<Text>{u"g"});
  EXPECT_EQ(RemoveFromServiceGroup(w.texts, w.registry, u"g", u"ZCSVC"), GroupListChange::Changed);
  EXPECT_EQ(MultiTextItems(w.registry.Get(kLocalMachine, kGroups, u"g")->data), (std::vector<Text>{u"a", u"b"}));
  EXPECT_EQ(RemoveFromServiceGroup(w.texts, w.registry, u"g", u"ZcSvc"), GroupListChange::Unchanged);
  EXPECT_EQ(RemoveFromServiceGroup(w.texts, w.registry, u"none", u"ZcSvc"), GroupListChange::Unchanged);
  EXPECT_EQ(AddToServiceGroup(w.texts, w.registry, u"g", u"ZcSvc"), GroupListChange::Changed);
  EXPECT_EQ(AddToServiceGroup(w.texts, w.registry, u"g", u"zcSVC"), GroupListChange::Unchanged);
  EXPECT_EQ(MultiTextItems(w.registry.Get(kLocalMachine, kGroups, u"g")->data),
            (std::vector<Text>{u"a", u"b", u"ZcSvc"}));
  w.registry.Set(kLocalMachine, kGroups, u"text", {1, {'Z', 0, 0, 0}});
  EXPECT_EQ(AddToServiceGroup(w.texts, w.registry, u"text", u"ZcSvc"), GroupListChange::Failed);
  w.registry.failWrites = true;
  EXPECT_EQ(RemoveFromServiceGroup(w.texts, w.registry, u"g", u"ZcSvc"), GroupListChange::Failed);
}

TEST(PendingDeletions, TheQueuesFormOfAPath) {
  EXPECT_EQ(QueuedPathForm(u"C:\\a\\b.exe"), u"\\??\\C:\\a\\b.exe");
  EXPECT_EQ(QueuedPathForm(u"\\\\?\\C:\\a\\b.exe"), u"\\??\\C:\\a\\b.exe");
  EXPECT_EQ(QueuedPathForm(u"\\\\server\\share\\b.exe"), u"\\??\\UNC\\server\\share\\b.exe");
  EXPECT_EQ(QueuedPathForm(u"\\\\?\\UNC\\server\\share\\b.exe"), u"\\??\\UNC\\server\\share\\b.exe");
  EXPECT_EQ(QueuedPathForm(u"\\??\\C:\\a"), u"\\??\\C:\\a");
}

}  // namespace
}  // namespace zc::testing
