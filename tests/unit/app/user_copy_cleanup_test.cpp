// The program's own removal of an earlier per-user copy: what it removes, what it leaves
// alone (elevated, a link on the way, the running copy itself, a folder without our
// files, a value or entry naming something else) and what it says about it.

#include "core/app/user_copy_cleanup.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_elevation.h"
#include "tests/fakes/fake_event_log.h"
#include "tests/fakes/fake_own_log_folder.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_user_install.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;

constexpr char16_t kPrograms[] = u"C:\\Users\\kim\\AppData\\Local\\Programs";
constexpr char16_t kFolder[] = u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure";
constexpr char16_t kOldProgram[] = u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\ZombieCure.exe";
constexpr char16_t kOldLog[] = u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\치료기록.txt";
constexpr char16_t kOldUninstaller[] = u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\uninstall.exe";
constexpr char16_t kShortcut[] =
    u"C:\\Users\\kim\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\좀비 PC 치료기.lnk";
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kEntryKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZombieCure";
constexpr char16_t kLogFolder[] = u"C:\\Users\\kim\\AppData\\Local\\ZombieCure\\";  // the own error log
constexpr uint32_t kRemovedEvent = 0x40000578;  // informational, 1400
constexpr uint32_t kLeftEvent = 0x80000579;     // warning, 1401

// An unelevated start of the installed program with a whole old copy in place.
struct OldCopy {
  OldCopy() {
    elevation.elevated = false;
    install.Put(kPrograms, PathKind::Folder);
    install.Put(kFolder, PathKind::Folder);
    for (const char16_t* file : {kOldProgram, kOldLog, kOldUninstaller, kShortcut}) install.Put(file, PathKind::File);
    registry.SetText(kHkeyCurrentUser, kRunKey, u"ZombieCure", Text(u"\"") + kOldProgram + u"\"");
    registry.SetText(kHkeyCurrentUser, kEntryKey, u"InstallLocation", kFolder);
  }
  UserCopyOutcome Run() { return RemoveOldUserCopy({texts, install, registry, elevation, ownLog, events}); }
  bool RunValueThere() const { return registry.Stored(kHkeyCurrentUser, kRunKey, u"ZombieCure").has_value(); }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeUserInstall install;
  fakes::FakeRegistry registry;
  fakes::FakeElevation elevation;
  fakes::FakeActivityLog log;
  fakes::FakeEventLog events;
  fakes::FakeOwnLogFolder folders;
  OwnErrorLog ownLog{{elevation, log, events, folders}};
};

TEST(UserCopyCleanup, RemovesTheWholeOldCopyAndSaysSoInTheLogAndOneEvent) {
  OldCopy t;
  EXPECT_EQ(t.Run(), UserCopyOutcome::Removed);
  for (const char16_t* path : {kOldProgram, kOldLog, kOldUninstaller, kFolder, kShortcut}) {
    EXPECT_EQ(t.install.At(path), PathKind::Absent) << ToUtf8(path);
  }
  EXPECT_EQ(t.install.At(kPrograms), PathKind::Folder);
  EXPECT_FALSE(t.RunValueThere());
  EXPECT_EQ(t.install.removedKeys, std::vector<Text>{kEntryKey});
  const std::vector<Text> lines = t.log.LinesOf(kLogFolder);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(kFolder), Text::npos);
  EXPECT_NE(lines[1].find(kOldProgram), Text::npos);
  ASSERT_EQ(t.events.events.size(), 1u);
  EXPECT_EQ(t.events.events[0].first, kRemovedEvent);
  EXPECT_EQ(t.events.events[0].second, lines[0] + u"\r\n" + lines[1]);
}

TEST(UserCopyCleanup, LeavesEverythingAloneWhereItIsNotThisStartsToDo) {
  struct Case {
    const char* what;
    std::function<void(OldCopy&)> plant;
    UserCopyOutcome outcome;
    size_t eventCount;
  };
  const Case cases[] = {
      {"elevated: the folders may be another account's", [](auto& t) { t.elevation.elevated = true; },
       UserCopyOutcome::NotThere, 0},
      {"Programs is a junction", [](auto& t) { t.install.Put(kPrograms, PathKind::Link); }, UserCopyOutcome::Linked, 1},
      {"the copy's folder is a link", [](auto& t) { t.install.Put(kFolder, PathKind::Link); }, UserCopyOutcome::Linked, 1},
      {"the program runs from that folder",
       [](auto& t) {
         t.install.runningProgram = u"c:\\users\\KIM\\appdata\\local\\programs\\zombiecure\\ZombieCure.exe";
       },
       UserCopyOutcome::NotThere, 0},
      {"a file where the folder was", [](auto& t) { t.install.Put(kFolder, PathKind::File); }, UserCopyOutcome::NotThere, 0},
      {"no file of ours in it",
       [](auto& t) {
         for (const char16_t* file : {kOldProgram, kOldLog, kOldUninstaller}) t.install.Put(file, PathKind::Absent);
         t.install.Put(u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\notes.txt", PathKind::File);
       },
       UserCopyOutcome::NotThere, 0},
  };
  for (const Case& c : cases) {
    OldCopy t;
    c.plant(t);
    EXPECT_EQ(t.Run(), c.outcome) << c.what;
    EXPECT_EQ(t.install.At(kShortcut), PathKind::File) << c.what;
    EXPECT_TRUE(t.RunValueThere()) << c.what;
    EXPECT_TRUE(t.install.removedKeys.empty()) << c.what;
    EXPECT_NE(t.install.At(kFolder), PathKind::Absent) << c.what;
    ASSERT_EQ(t.events.events.size(), c.eventCount) << c.what;
    if (c.eventCount) {
      EXPECT_EQ(t.events.events[0].first, kLeftEvent) << c.what;
    }
  }
}

TEST(UserCopyCleanup, WhatCouldNotBeRemovedIsListedAndTheFolderStays) {
  OldCopy t;
  t.install.inUse.insert(FoldCase(kOldProgram));  // the old copy still runs
  t.install.stays.insert(FoldCase(kOldLog));      // "deleted", yet still there
  EXPECT_EQ(t.Run(), UserCopyOutcome::Incomplete);
  EXPECT_EQ(t.install.At(kOldUninstaller), PathKind::Absent);
  EXPECT_EQ(t.install.At(kFolder), PathKind::Folder);
  ASSERT_EQ(t.events.events.size(), 1u);
  EXPECT_EQ(t.events.events[0].first, kLeftEvent);
  for (const char16_t* left : {kOldProgram, kOldLog, kFolder}) {
    EXPECT_NE(t.events.events[0].second.find(Text(left) + u"]"), Text::npos) << ToUtf8(left);
  }
  EXPECT_EQ(t.events.events[0].second.find(kOldUninstaller), Text::npos);
  EXPECT_EQ(t.log.LinesOf(kLogFolder).size(), 4u);  // the log-on value removed, three things left
}

TEST(UserCopyCleanup, OnlyAValueAndAnEntryThatNameTheOldCopyAreRemoved) {
  struct Case {
    const char16_t* runValue;
    const char16_t* entryLocation;
    bool valueRemoved;
    bool entryRemoved;
  };
  const Case cases[] = {
      {u"c:\\users\\kim\\appdata\\local\\programs\\zombiecure\\zombiecure.exe", u"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\",
       true, true},
      {u"\"C:\\Program Files\\ZombieCure\\ZombieCure.exe\"", u"D:\\Tools\\ZombieCure", false, false},
      {u"\"C:\\Users\\kim\\AppData\\Local\\Programs\\ZombieCure\\ZombieCure.exe\" /tray", kFolder, false, true},
  };
  for (const Case& c : cases) {
    OldCopy t;
    t.registry.SetText(kHkeyCurrentUser, kRunKey, u"ZombieCure", c.runValue);
    t.registry.SetText(kHkeyCurrentUser, kEntryKey, u"InstallLocation", c.entryLocation);
    t.Run();
    EXPECT_EQ(!t.RunValueThere(), c.valueRemoved) << ToUtf8(c.runValue);
    EXPECT_EQ(!t.install.removedKeys.empty(), c.entryRemoved) << ToUtf8(c.entryLocation);
  }
}

}  // namespace
}  // namespace zc
