// What counts as administrators' own, and what the store does with what is not: the
// rights of one entry at a time, the owner, and the taking over of a root, a folder or
// a file inside that a user made, shut administrators out of, or linked elsewhere.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/restore/backup_store.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kRoot[] = u"C:\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\evil.exe";

using fakes::AdministratorsOnly;
using fakes::Allow;
using fakes::Deny;

// --- one entry at a time ------------------------------------------------------------------

struct RightsCase {
  const char* what;
  bool folder;
  AccessEntry extra;  // added to the rights the program gives its own folders and files
  bool ours;
};

class OneEntry : public ::testing::TestWithParam<RightsCase> {};

TEST_P(OneEntry, AnyRightThatChangesTheItemMakesItNotOurs) {
  const RightsCase& c = GetParam();
  SecurityFacts facts = AdministratorsOnly(c.folder);
  facts.entries.push_back(c.extra);
  EXPECT_EQ(OnlyAdministratorsCanChange(facts), c.ours) << c.what;
}

// The masks are written out as the system numbers them.
INSTANTIATE_TEST_SUITE_P(
    BackupStore, OneEntry,
    ::testing::Values(
        RightsCase{"users may write data", true, Allow(Principal::Users, 0x0002), false},
        RightsCase{"users may append", true, Allow(Principal::Users, 0x0004), false},
        RightsCase{"users may write extended attributes", false, Allow(Principal::Users, 0x0010), false},
        RightsCase{"users may write attributes", false, Allow(Principal::Users, 0x0100), false},
        RightsCase{"users may only delete the file", false, Allow(Principal::Users, 0x00010000), false},
        RightsCase{"users may only delete the folder", true, Allow(Principal::Users, 0x00010000), false},
        RightsCase{"users may only delete what is in the folder", true, Allow(Principal::Users, 0x0040), false},
        RightsCase{"users may only change the permissions", true, Allow(Principal::Users, 0x00040000), false},
        RightsCase{"users may only change a file's permissions", false, Allow(Principal::Users, 0x00040000), false},
        RightsCase{"users may only take ownership", false, Allow(Principal::Users, 0x00080000), false},
        RightsCase{"users have generic write", false, Allow(Principal::Users, 0x40000000), false},
        RightsCase{"users have generic all", true, Allow(Principal::Users, 0x10000000), false},
        RightsCase{"the running account may write", true, Allow(Principal::Self, 0x0002), false},
        RightsCase{"another account may delete", false, Allow(Principal::Other, 0x00010000), false},
        RightsCase{"users may read, list and run", true, Allow(Principal::Users, 0x001200A9), true},
        RightsCase{"users have generic read and execute", false, Allow(Principal::Users, 0xA0000000), true},
        RightsCase{"delete-child means nothing on a file", false, Allow(Principal::Users, 0x0040), true},
        RightsCase{"TrustedInstaller may change it", false, Allow(Principal::TrustedInstaller, 0x001F01FF), true},
        RightsCase{"users are denied writing", true, Deny(Principal::Users, 0x001F01FF), true},
        RightsCase{"a write entry only handed down to what is made inside", true,
                   Allow(Principal::Users, 0x001F01FF, true), true}));

TEST(BackupStore, OnlyAdministratorsOrSystemMayOwnIt) {
  struct Case {
    Principal owner;
    bool ours;
  };
  const Case cases[] = {{Principal::Administrators, true}, {Principal::System, true},
                        {Principal::TrustedInstaller, false}, {Principal::Self, false},
                        {Principal::Users, false},         {Principal::Other, false}};
  for (const Case& c : cases) {
    SecurityFacts facts = AdministratorsOnly(true);
    facts.owner = c.owner;
    EXPECT_EQ(OnlyAdministratorsCanChange(facts), c.ours) << static_cast<int>(c.owner);
  }
  SecurityFacts noDacl = AdministratorsOnly(true);
  noDacl.noDacl = true;
  EXPECT_FALSE(OnlyAdministratorsCanChange(noDacl));
}

// --- taking over ----------------------------------------------------------------------------

struct Store {
  RestoreWorld w;
  BackupStore store{{w.texts, w.files, w.security}};
  Text KeyPath() const { return Text(kRoot) + u"\\" + w.T(enc::SealKeyFileName); }
  Text LogPath() const { return Text(kFolder) + u"\\" + w.T(enc::LogFileName); }
  bool Ours(TextView path) {
    const std::optional<SecurityFacts> facts = w.security.Facts(path);
    return facts && OnlyAdministratorsCanChange(*facts);
  }
  Text Problem(TextView why, TextView path) const { return w.T(why) + Text(path) + w.T(enc::LogLineEnd); }
};

struct TakeOverCase {
  const char* what;
  std::function<void(Store&)> plant;
};

class TakenOver : public ::testing::TestWithParam<TakeOverCase> {};

TEST_P(TakenOver, WithThePrivilegesTheStoreBecomesOursWithANewKey) {
  const TakeOverCase& c = GetParam();
  Store s;
  ASSERT_TRUE(s.store.PrepareFolder(kFolder));
  const std::string firstKey = s.store.Key();
  c.plant(s);
  ASSERT_TRUE(s.store.PrepareFolder(kFolder)) << c.what << ToUtf8(s.store.Problem());
  EXPECT_TRUE(s.store.Problem().empty()) << c.what;
  for (const Text& path : {Text(kRoot), Text(kFolder), s.KeyPath()}) EXPECT_TRUE(s.Ours(path)) << c.what;
  EXPECT_NE(s.store.Key(), firstKey) << c.what;  // nothing sealed before counts
  EXPECT_EQ(s.w.security.keysMade, 2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    BackupStore, TakenOver,
    ::testing::Values(
        TakeOverCase{"the root belongs to the administrator's own account",
                     [](Store& s) { s.w.security.Set(kRoot, fakes::MadeByOwnAccount(true)); }},
        TakeOverCase{"the root was made by a user who shut administrators out",
                     [](Store& s) { s.w.security.Set(kRoot, fakes::LockedByUser(true)); }},
        TakeOverCase{"the key file can be written by the administrator's own account",
                     [](Store& s) { s.w.security.Set(s.KeyPath(), fakes::MadeByOwnAccount(false)); }},
        TakeOverCase{"the key file was made by a user who shut administrators out",
                     [](Store& s) { s.w.security.Set(s.KeyPath(), fakes::LockedByUser(false)); }},
        TakeOverCase{"an empty folder stands at the key's name",
                     [](Store& s) {
                       s.w.files.entries.erase(FoldCase(s.KeyPath()));
                       s.w.files.AddFolder(s.KeyPath());
                       s.w.security.Set(s.KeyPath(), fakes::LockedByUser(true));
                     }},
        TakeOverCase{"a junction stands at the key's name", [](Store& s) {
                       SecurityFacts junction = fakes::LockedByUser(true);
                       junction.reparsePoint = true;
                       s.w.security.Set(s.KeyPath(), junction);
                     }}));

TEST(BackupStore, AFolderAUserShutAdministratorsOutOfIsTakenOverOnlyWithThePrivileges) {
  for (const bool privileges : {true, false}) {
    Store s;
    s.w.files.AddFolder(kRoot);
    s.w.files.AddFolder(kFolder);
    s.w.security.Set(kFolder, fakes::LockedByUser(true));
    s.w.security.privilegesHeld = privileges;
    EXPECT_EQ(s.store.PrepareFolder(kFolder), privileges);
    EXPECT_EQ(s.Ours(kFolder), privileges);
    EXPECT_EQ(s.store.Problem(), privileges ? Text() : s.Problem(enc::StoreNotTakenOver, kFolder));
  }
}

TEST(BackupStore, ALockedRootWithoutThePrivilegesGetsNothingAndSaysWhy) {
  RestoreWorld w;
  w.files.AddFolder(kRoot);
  w.security.Set(kRoot, fakes::LockedByUser(true));
  w.security.privilegesHeld = false;
  BackupStore store({w.texts, w.files, w.security});
  EXPECT_FALSE(store.PrepareFolder(kFolder));
  EXPECT_TRUE(store.Key().empty());
  EXPECT_EQ(store.Problem(), w.T(enc::StoreNotTakenOver) + kRoot + w.T(enc::LogLineEnd));
  // The treatment's recorder writes nothing there either.
  EXPECT_FALSE(w.recorder.Begin(kFolder, u"evil.exe", u"k"));
  EXPECT_EQ(w.files.Find(kFolder), nullptr);
}

TEST(BackupStore, AFolderWithSomethingInsideAtTheKeysNameStopsTheStoreAndSaysSo) {
  Store s;
  s.w.files.AddFolder(kRoot);
  s.w.files.AddFolder(s.KeyPath());
  s.w.files.AddFile(s.KeyPath() + u"\\x", "x");
  EXPECT_FALSE(s.store.PrepareFolder(kFolder));
  EXPECT_EQ(s.store.Problem(), s.Problem(enc::StoreKeyNotMade, s.KeyPath()));
  EXPECT_EQ(s.w.files.Find(kFolder), nullptr);
}

// The record and the activity log are appended to by the elevated program.
struct InsideCase {
  const char* what;
  bool record;  // else the log
  std::function<SecurityFacts()> facts;
  bool takenOver;  // else refused
};

class Inside : public ::testing::TestWithParam<InsideCase> {};

TEST_P(Inside, AUsersFileInTheFolderIsTakenOverOrRefused) {
  const InsideCase& c = GetParam();
  Store s;
  s.w.files.AddFolder(kRoot);
  s.w.files.AddFolder(kFolder);
  s.w.security.Set(kFolder, fakes::MadeByUser(true));
  const Text path = c.record ? s.w.RecordOf(kFolder) : s.LogPath();
  s.w.files.AddFile(path, "user's");
  s.w.security.Set(path, c.facts());
  EXPECT_EQ(s.store.PrepareFolder(kFolder), c.takenOver) << c.what;
  EXPECT_EQ(s.Ours(path), c.takenOver) << c.what;
  EXPECT_EQ(s.store.Problem(), c.takenOver ? Text() : s.Problem(enc::StoreItemNotOurs, path)) << c.what;
  EXPECT_EQ(s.w.recorder.Begin(kFolder, u"evil.exe", u"k"), c.takenOver) << c.what;
  if (!c.takenOver) EXPECT_EQ(s.w.files.Content(path), "user's") << c.what;
}

SecurityFacts Linked() {
  SecurityFacts facts = AdministratorsOnly(false);
  facts.links = 2;
  return facts;
}

SecurityFacts RedirectedFile() {
  SecurityFacts facts = fakes::MadeByUser(false);
  facts.reparsePoint = true;
  return facts;
}

INSTANTIATE_TEST_SUITE_P(
    BackupStore, Inside,
    ::testing::Values(InsideCase{"a record the user may write", true, [] { return fakes::MadeByUser(false); }, true},
                      InsideCase{"a record locked by a user", true, [] { return fakes::LockedByUser(false); }, true},
                      InsideCase{"a log of the administrator's own account", false,
                                 [] { return fakes::MadeByOwnAccount(false); }, true},
                      InsideCase{"a record with a second link", true, Linked, false},
                      InsideCase{"a log with a second link", false, Linked, false},
                      InsideCase{"a record that is a symbolic link", true, RedirectedFile, false}));

}  // namespace
}  // namespace zc::testing
