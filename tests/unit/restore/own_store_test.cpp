// A standard user's own store: made with rights of its own under their local application
// data, its records restored only into that user's hive and files, never taken over, and
// never reachable through the machine's store.

#include <gtest/gtest.h>

#include "core/restore/backup_catalog.h"
#include "core/restore/backup_store.h"
#include "core/restore/restore_list.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kLocal[] = u"C:\\Users\\kim\\AppData\\Local";
constexpr char16_t kParent[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure";
constexpr char16_t kRoot[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\좀비치료백업\\bot.exe";
constexpr char16_t kBot[] = u"C:\\Users\\kim\\AppData\\Roaming\\bot.exe";
constexpr char16_t kKim[] = u"S-1-5-21-1-2-3-1001";
constexpr char16_t kLee[] = u"S-1-5-21-1-2-3-1002";
const RawRegistryValue kRunData{1, {'C', 0, ':', 0, '\\', 0, 'x', 0, 0, 0}};

struct OwnStoreWorld : RestoreWorld {
  StoreLocation location = OwnAccountStore(texts, kLocal, kKim);
  TreatmentRecorder own{{texts, files, hashes, registry, services, clock, security, location}};
  RestoreRunner ownRunner{{texts, files, hashes, registry, services, clock, log, security, confirm, &events, location},
                          RestoreRunner::TreatmentLimits(texts)};

  OwnStoreWorld() {
    files.AddFolder(kLocal);
    files.AddFolder(u"C:\\Users\\kim\\AppData\\Roaming");
    files.AddFile(kBot, "MZ bot");
    registry.MakeKey(kUsersRoot, kKim);  // kim is logged on
    registry.Set(kUsersRoot, Text(kKim) + u"\\" + RunKey(), u"bot", kRunData);
  }
  Text KeyPath() const { return Text(kRoot) + u"\\" + T(enc::SealKeyFileName); }
  // What the treatment of kim's own Finding records, and then takes away.
  void TreatKimsFinding() {
    ASSERT_TRUE(own.Begin(kFolder, u"bot.exe", u"reg Infection"));
    own.RegistryValue(kCurrentUser, RegistryView::Native, RunKey(), u"bot", kKim);
    registry.Remove(kUsersRoot, Text(kKim) + u"\\" + RunKey(), u"bot");
    files.AddFile(Text(kFolder) + u"\\bot.exe", "MZ bot");
    own.File(kBot, Text(kFolder) + u"\\bot.exe");
    files.entries.erase(FoldCase(kBot));
  }
};

TEST(OwnStore, IsMadeUnderTheUsersLocalDataWithRightsOfItsOwnAndASealKeyTheUserMayRead) {
  OwnStoreWorld w;
  ASSERT_EQ(w.location.root, kRoot);
  w.TreatKimsFinding();
  for (const Text& path : {Text(kParent), Text(kRoot), Text(kFolder), w.KeyPath()}) {
    const std::optional<SecurityFacts> facts = w.security.Facts(path);
    ASSERT_TRUE(facts) << ToUtf8(path);
    EXPECT_EQ(facts->owner, Principal::Self) << ToUtf8(path);
    EXPECT_TRUE(OnlyKeepersCanChange(*facts, StoreKeeper::OwnAccount)) << ToUtf8(path);
    EXPECT_FALSE(OnlyAdministratorsCanChange(*facts)) << ToUtf8(path);  // proves nothing to an administrator
  }
  EXPECT_EQ(w.security.keysMade, 1);
  EXPECT_EQ(w.security.takenOver, 0);
}

TEST(OwnStore, ItsRecordGoesBackIntoTheUsersOwnHiveAndFilesAfterOneQuestion) {
  OwnStoreWorld w;
  w.TreatKimsFinding();
  const RestoreOutcome outcome = w.ownRunner.Restore(kFolder);
  ASSERT_TRUE(outcome.Succeeded()) << ToUtf8(outcome.problems.front());
  EXPECT_EQ(w.confirm.questions.size(), 1u);  // sealed with the store's key: the list alone
  EXPECT_EQ(w.registry.Get(kUsersRoot, Text(kKim) + u"\\" + w.RunKey(), u"bot"), kRunData);
  EXPECT_EQ(w.files.Content(kBot), "MZ bot");
}

TEST(OwnStore, TheMachinesRestoreNeverTakesItsRecords) {
  OwnStoreWorld w;
  w.TreatKimsFinding();
  const RestoreOutcome outcome = w.runner.Restore(kFolder);  // the elevated restore
  ASSERT_TRUE(outcome.recordRefused);
  EXPECT_EQ(outcome.problems.at(0).rfind(w.T(enc::RestoreNotABackupFolder), 0), 0u);
  EXPECT_TRUE(w.confirm.questions.empty());
  EXPECT_FALSE(w.registry.Get(kUsersRoot, Text(kKim) + u"\\" + w.RunKey(), u"bot"));
  EXPECT_EQ(w.files.Find(kBot), nullptr);
}

// A sealed record of the own store still names only what its user may take back: a
// record that names more was written by something running as that user.
TEST(OwnStore, StepsBeyondTheUsersOwnAreRefusedEvenInASealedRecord) {
  OwnStoreWorld w;
  w.registry.MakeKey(kUsersRoot, kLee);
  w.registry.Set(kLocalMachine, w.RunKey(), u"evil", kRunData);
  w.registry.Set(kUsersRoot, Text(kLee) + u"\\" + w.RunKey(), u"evil", kRunData);
  ASSERT_TRUE(w.own.Begin(kFolder, u"bot.exe", u"reg Infection"));
  w.own.RegistryValue(kLocalMachine, RegistryView::Native, w.RunKey(), u"evil");
  w.own.RegistryValue(kCurrentUser, RegistryView::Native, w.RunKey(), u"evil", kLee);
  w.own.ServiceStart(kLocalMachine, w.ServiceKey(u"Tcpip"), u"Tcpip");
  w.registry.Remove(kLocalMachine, w.RunKey(), u"evil");
  w.registry.Remove(kUsersRoot, Text(kLee) + u"\\" + w.RunKey(), u"evil");

  const RestoreOutcome outcome = w.ownRunner.Restore(kFolder);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_FALSE(w.registry.Get(kLocalMachine, w.RunKey(), u"evil"));
  EXPECT_FALSE(w.registry.Get(kUsersRoot, Text(kLee) + u"\\" + w.RunKey(), u"evil"));
  for (const Text& problem : outcome.problems) {
    EXPECT_EQ(problem.rfind(w.T(enc::RestoreOwnStoreRefused), 0), 0u) << ToUtf8(problem);
  }
  ASSERT_EQ(w.confirm.questions.size(), 0u);  // nothing it may take: nothing is asked
}

// The window of a copy without administrator rights lists both stores; a row of the
// account's own goes to the own store's restore, which the machine's would refuse.
TEST(OwnStore, TheRestoreListSendsAnOwnRowToTheOwnStoresRestore) {
  OwnStoreWorld w;
  w.TreatKimsFinding();
  RestoreList list(w.texts, w.runner, &w.ownRunner);
  std::vector<CatalogRow> rows = ListRecordedTreatments(w.texts, w.files, kRoot, true);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].ownStore);
  list.SetRows(rows);
  EXPECT_EQ(list.Cells(0)[2].find(w.T(enc::RestoreOwnStoreMark)) != Text::npos, true);
  EXPECT_EQ(list.RestoreRow(0), w.T(enc::RestoreAllDone));
  EXPECT_EQ(w.files.Content(kBot), "MZ bot");
}

TEST(OwnStore, ARootOthersMayChangeIsRefusedNotTakenOver) {
  struct Case {
    const char* what;
    SecurityFacts facts;
    bool folderFirst;  // the facts are set on the parent instead of the root
  };
  SecurityFacts openToUsers = fakes::PrivateToOwnAccount(true);
  openToUsers.entries.push_back(fakes::Allow(Principal::Users, access::kFullControl));
  SecurityFacts junction = fakes::PrivateToOwnAccount(true);
  junction.reparsePoint = true;
  const Case cases[] = {{"root users may change", openToUsers, false},
                        {"root is a junction", junction, false},
                        {"parent is a junction", junction, true}};
  for (const Case& c : cases) {
    OwnStoreWorld w;
    w.files.AddFolder(kParent);
    if (!c.folderFirst) w.files.AddFolder(kRoot);
    w.security.Set(c.folderFirst ? kParent : kRoot, c.facts);
    BackupStore store({w.texts, w.files, w.security, w.location});
    EXPECT_FALSE(store.PrepareFolder(kFolder)) << c.what;
    EXPECT_FALSE(store.Problem().empty()) << c.what;
    EXPECT_EQ(w.security.takenOver, 0) << c.what;
    EXPECT_EQ(w.files.Find(kFolder), nullptr) << c.what;
    EXPECT_EQ(w.security.keysMade, 0) << c.what;
  }
}

TEST(OwnStore, WithoutALocalDataFolderNothingIsWritten) {
  OwnStoreWorld w;
  const StoreLocation nowhere = OwnAccountStore(w.texts, u"", kKim);
  BackupStore store({w.texts, w.files, w.security, nowhere});
  EXPECT_FALSE(store.PrepareRoot());
  EXPECT_EQ(w.security.keysMade, 0);
}

}  // namespace
}  // namespace zc::testing
