#include "core/machine/pinned_file_steps.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_pinned_files.h"

namespace zc {
namespace {

using fakes::FakeFiles;
using fakes::FakeSuspectFiles;

constexpr uint32_t kPlaceholder = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

constexpr const char16_t* kBotFolder = u"C:\\Users\\kim\\AppData\\Bot";
constexpr const char16_t* kBot = u"C:\\Users\\kim\\AppData\\Bot\\bot.exe";
constexpr const char16_t* kSystemFile = u"C:\\Windows\\System32\\bot.exe";

// A bot in a folder its own account owns, a file of the system's that an ordinary account
// would like an elevated delete to hit, and the backup store.
struct BotWorld {
  BotWorld() {
    for (const char16_t* folder : {u"C:\\Users", u"C:\\Users\\kim", u"C:\\Users\\kim\\AppData", kBotFolder,
                                   u"C:\\Windows", u"C:\\Windows\\System32", u"C:\\Store", u"C:\\Store\\bot"}) {
      files.AddFolder(folder);
    }
    files.AddFile(kBot, "MZ bot", kAttributeReadOnly | kAttributeHidden);
    files.AddFile(kSystemFile, "MZ system");
  }

  SuspectStepsOutcome Steps(const BetweenSuspectSteps& between = {}) {
    const SuspectFileTargets targets{kBot, u"C:\\Store\\bot\\bot.exe", u"C:\\Store\\bot\\bot (2).exe", kPlaceholder};
    return TakeSuspectFileSteps(suspects, targets, between);
  }
  // Nothing happened to the system's file.
  void ExpectSystemFolderUntouched() {
    ASSERT_TRUE(files.IsFile(kSystemFile));
    EXPECT_EQ(files.Find(kSystemFile)->content, "MZ system");
    EXPECT_EQ(files.Find(kSystemFile)->attributes, 0u);
  }

  FakeFiles files;
  FakeSuspectFiles suspects{files};
};

class SuspectFileStepsTest : public ::testing::Test, public BotWorld {};

TEST_F(SuspectFileStepsTest, BacksUpDeletesAndBlocksThroughOneOpening) {
  const SuspectStepsOutcome outcome = Steps();
  EXPECT_TRUE(outcome.fileFound && outcome.backedUp && outcome.removed && outcome.placeholderMade);
  EXPECT_FALSE(outcome.movedAside);
  EXPECT_TRUE(outcome.failures.empty());
  EXPECT_EQ(files.Find(u"C:\\Store\\bot\\bot.exe")->content, "MZ bot");
  ASSERT_TRUE(files.IsFolder(kBot));
  EXPECT_EQ(files.Find(kBot)->attributes, kPlaceholder | kAttributeDirectory);
  const std::vector<std::pair<std::string, Text>> expected = {
      {"open", kBot},   {"copy", u"C:\\Store\\bot\\bot.exe"}, {"attributes", kBot},
      {"delete", kBot}, {"placeholder", kBot}};
  EXPECT_EQ(suspects.steps, expected);
  // The folders are let go when the steps are over.
  EXPECT_EQ(suspects.HoldsOn(kBotFolder), 0u);
}

// Every pause between two steps is a chance to rename the bot's folder away and plant a
// junction to the system's folder; while the file is open its folders are held, so the
// plant is refused and every step stays on the bot's own file.
TEST_F(SuspectFileStepsTest, AJunctionCannotBePlantedDuringAnyPause) {
  for (const SuspectStep pause :
       {SuspectStep::Copy, SuspectStep::ClearAttributes, SuspectStep::Delete, SuspectStep::Placeholder}) {
    SCOPED_TRACE(static_cast<int>(pause));
    BotWorld world;
    std::vector<SystemError> plants;
    const SuspectStepsOutcome outcome = world.Steps([&](SuspectStep next) {
      if (next != pause) return;
      plants.push_back(world.suspects.PlantJunction(u"C:\\Users\\kim\\AppData", u"C:\\Windows"));
      plants.push_back(world.suspects.PlantJunction(kBotFolder, u"C:\\Windows\\System32"));
    });
    EXPECT_EQ(plants, (std::vector<SystemError>{SystemError::SharingViolation, SystemError::SharingViolation}));
    EXPECT_TRUE(world.suspects.junctions.empty());
    EXPECT_TRUE(outcome.removed && outcome.placeholderMade);
    EXPECT_TRUE(world.files.IsFolder(kBot));
    world.ExpectSystemFolderUntouched();
  }
}

// A junction that appears between two openings (the pass backs the file up, ends its
// processes, then removes it) refuses the second opening and every step after it.
TEST_F(SuspectFileStepsTest, AJunctionPlantedBetweenTwoOpeningsRefusesTheRestOfTheSteps) {
  SystemError error = SystemError::None;
  {
    const auto first = suspects.Open(kBot, error);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->CopyTo(u"C:\\Store\\bot\\bot.exe"), SystemError::None);
  }
  ASSERT_EQ(suspects.PlantJunction(kBotFolder, u"C:\\Windows\\System32"), SystemError::None);
  EXPECT_EQ(suspects.Open(kBot, error), nullptr);
  EXPECT_EQ(error, SystemError::Redirected);

  // So do the helper's steps: only the opening was tried.
  suspects.steps.clear();
  const SuspectStepsOutcome outcome = Steps();
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].step, SuspectStep::Open);
  EXPECT_EQ(outcome.failures[0].error, SystemError::Redirected);
  EXPECT_FALSE(outcome.backedUp || outcome.removed || outcome.placeholderMade);
  EXPECT_EQ(suspects.steps, (std::vector<std::pair<std::string, Text>>{{"open", kBot}}));
  ExpectSystemFolderUntouched();
  // The bot's file went with its renamed folder; nothing was made at its path.
  EXPECT_TRUE(files.IsFile(u"C:\\Users\\kim\\AppData\\Bot.old\\bot.exe"));
}

// A running program's image cannot be deleted but can be renamed into the store on its
// own volume. From another volume the move is a copy and a delete, which the image
// refuses: the copy goes again, the file stays, and no placeholder is made.
TEST_F(SuspectFileStepsTest, ARunningImageIsMovedIntoTheStoreOnlyOnItsOwnVolume) {
  files.inUse.insert(kBot);
  SuspectStepsOutcome outcome = Steps();
  EXPECT_TRUE(outcome.movedAside && outcome.removed && outcome.placeholderMade);
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].step, SuspectStep::Delete);
  EXPECT_EQ(outcome.failures[0].error, SystemError::AccessDenied);
  EXPECT_EQ(files.Find(u"C:\\Store\\bot\\bot (2).exe")->content, "MZ bot");

  BotWorld other;
  other.files.AddFolder(u"D:\\Store");
  other.files.inUse.insert(kBot);
  outcome = TakeSuspectFileSteps(other.suspects, {kBot, u"D:\\Store\\bot.exe", u"D:\\Store\\bot (2).exe", kPlaceholder},
                                 {});
  EXPECT_TRUE(outcome.backedUp);
  EXPECT_FALSE(outcome.removed || outcome.movedAside || outcome.placeholderMade);
  ASSERT_EQ(outcome.failures.size(), 2u);
  EXPECT_EQ(outcome.failures[1].step, SuspectStep::MoveAside);
  EXPECT_EQ(outcome.failures[1].error, SystemError::AccessDenied);
  EXPECT_FALSE(other.files.Find(u"D:\\Store\\bot (2).exe"));
  EXPECT_TRUE(other.files.IsFile(kBot));
}

TEST_F(SuspectFileStepsTest, WithoutAWholeBackupTheFileStaysAndAMissingFileGetsOnlyThePlaceholder) {
  files.entries.erase(FoldCase(u"C:\\Store\\bot"));  // the store folder could not be made
  SuspectStepsOutcome outcome = Steps();
  EXPECT_FALSE(outcome.backedUp || outcome.removed || outcome.placeholderMade);
  EXPECT_EQ(outcome.failures.at(0).step, SuspectStep::Copy);
  EXPECT_TRUE(files.IsFile(kBot));

  files.entries.erase(FoldCase(kBot));
  outcome = Steps();
  EXPECT_FALSE(outcome.fileFound || outcome.backedUp);
  EXPECT_TRUE(outcome.placeholderMade);
  EXPECT_TRUE(files.IsFolder(kBot));
}

// What Windows refuses to open as the file itself, and what it refuses to delete.
TEST_F(SuspectFileStepsTest, OpeningsFollowWindowsRules) {
  files.AddFolder(u"C:\\Real");
  files.AddFile(u"C:\\Real\\bot.exe");
  suspects.substitutedDrives[u"s:"] = u"c:\\real";
  files.AddFile(u"C:\\Users\\kim\\AppData\\Bot\\linked.exe");
  suspects.hardLinked.insert(FoldCase(u"C:\\Users\\kim\\AppData\\Bot\\linked.exe"));
  files.AddFile(u"C:\\Users\\kim\\AppData\\Bot\\link.exe");
  suspects.junctions[FoldCase(u"C:\\Users\\kim\\AppData\\Bot\\link.exe")] = u"c:\\windows\\system32\\bot.exe";
  files.AddFile(u"C:\\Users\\kim\\AppData\\Bot\\locked.exe");
  files.lockedOpen.insert(u"C:\\Users\\kim\\AppData\\Bot\\locked.exe");

  const std::pair<const char16_t*, SystemError> cases[] = {
      {u"S:\\bot.exe", SystemError::Redirected},                                      // a substituted drive
      {u"C:\\Users\\kim\\AppData\\Bot\\linked.exe", SystemError::Redirected},         // a second name
      {u"C:\\Users\\kim\\AppData\\Bot\\link.exe", SystemError::Redirected},           // a symbolic link
      {u"C:\\Users\\kim\\AppData\\Bot\\locked.exe", SystemError::SharingViolation},   // held without delete sharing
      {u"C:\\Users\\kim\\AppData\\Bot", SystemError::AccessDenied},                   // a folder
      {u"C:\\Users\\kim\\Nowhere\\bot.exe", SystemError::PathNotFound},
  };
  for (const auto& [path, why] : cases) {
    SystemError error = SystemError::None;
    EXPECT_EQ(suspects.Open(path, error), nullptr) << ToUtf8(path);
    EXPECT_EQ(error, why) << ToUtf8(path);
  }
  SystemError error = SystemError::None;
  EXPECT_TRUE(suspects.Open(u"C:\\Real\\bot.exe", error));
}

// Another program holding the file with delete sharing: with POSIX semantics its name
// goes at once; with the older semantics it stays until that program lets go, and the
// next opening meets a file waiting to be deleted.
TEST_F(SuspectFileStepsTest, ADeleteWhileAnotherProgramHoldsTheFileDependsOnTheSemantics) {
  files.deletePending.insert(kBot);
  SystemError error = SystemError::None;
  {
    const auto file = suspects.Open(kBot, error);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Delete(), SystemError::None);
    EXPECT_TRUE(file->NameIsFree());
  }
  BotWorld old;
  old.suspects.posixDelete = false;
  old.files.deletePending.insert(kBot);
  const SuspectStepsOutcome outcome = old.Steps();
  EXPECT_FALSE(outcome.removed || outcome.placeholderMade);
  EXPECT_EQ(outcome.failures.back().error, SystemError::NotConfirmed);
  EXPECT_EQ(old.suspects.Open(kBot, error), nullptr);
  EXPECT_EQ(error, SystemError::AccessDenied);
}

}  // namespace
}  // namespace zc
