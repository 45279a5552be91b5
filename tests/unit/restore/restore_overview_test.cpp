// Every restore first shows what it will do and waits for the administrator's yes, even
// for the program's own record; trust is judged afresh for each record one runner
// restores; a record over the limit is never read whole.

#include <gtest/gtest.h>

#include <string>

#include "core/restore/record_entries.h"
#include "core/restore/restore_overview.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kRoot[] = u"C:\\좀비치료백업";
constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\evil.exe";
constexpr char16_t kBackup[] = u"C:\\좀비치료백업\\evil.exe\\evil.exe";
constexpr char16_t kOriginal[] = u"C:\\app\\evil.exe";
constexpr char16_t kPlanted[] = u"C:\\좀비치료백업\\planted.exe";
constexpr uint32_t kPlaceholder = 0x10 | 0x7;
const RawRegistryValue kRunData{1, {'C', 0, ':', 0, '\\', 0, 'x', 0, 0, 0}};

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

// A genuine treatment: an HKLM autorun value, the file it starts, and a service.
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

bool NothingRestored(RestoreWorld& w) {
  return w.files.Find(kOriginal)->isFolder && !w.services.Exists(u"ZcEvil") &&
         !w.registry.Get(kLocalMachine, w.RunKey(), u"evil");
}

TEST(RestoreOverview, OurOwnRecordListsEveryStepAndIsRestoredOnlyOnYes) {
  for (const bool answer : {false, true}) {
    SCOPED_TRACE(answer ? "yes" : "no");
    RestoreWorld w;
    Treat(w);
    w.confirm.answer = answer;
    const RestoreOutcome outcome = w.runner.Restore(kFolder);
    ASSERT_EQ(w.confirm.questions.size(), 1u);
    const Text& question = w.confirm.questions[0];
    EXPECT_EQ(question.rfind(w.T(enc::RestoreOverviewLead), 0), 0u);
    for (const Text& step :
         {w.T(enc::RestoreItemFile) + kBackup + w.T(enc::RestoreItemArrow) + kOriginal,
          w.T(enc::RestoreItemValue) + u"HKLM\\" + w.RunKey() + u"\\evil" + w.T(enc::RestoreItemData) + u"C:\\x",
          w.T(enc::RestoreItemService) + u"ZcEvil (" + kOriginal + u", LocalSystem)"}) {
      EXPECT_NE(question.find(u"\r\n" + step), Text::npos) << ToUtf8(step) << "\n" << ToUtf8(question);
    }
    EXPECT_EQ(question.find(w.T(enc::RestoreOverviewRefusedHead)), Text::npos);
    if (answer) {
      EXPECT_TRUE(outcome.Succeeded());
      EXPECT_EQ(w.files.Content(kOriginal), "MZ program");
      EXPECT_TRUE(w.services.Exists(u"ZcEvil"));
      continue;
    }
    EXPECT_TRUE(NothingRestored(w));
    ASSERT_TRUE(outcome.recordRefused);
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_EQ(outcome.problems[0], w.T(enc::RestoreOverviewDeclined) + kFolder + w.T(enc::LogLineEnd));
    EXPECT_EQ(w.log.lines.size(), 0u);
    EXPECT_EQ(w.files.Content(w.RecordOf(kFolder)).find("restored\t"), std::string::npos);
  }
}

TEST(RestoreOverview, NothingLeftToDoAsksNothing) {
  RestoreWorld w;
  Treat(w);
  ASSERT_TRUE(w.runner.Restore(kFolder).Succeeded());
  w.confirm.questions.clear();
  EXPECT_TRUE(w.runner.Restore(kFolder).Succeeded());
  EXPECT_TRUE(w.confirm.questions.empty());
}

// The restore window keeps one runner for every restore it starts.
TEST(RestoreOverview, TrustIsNeverCarriedFromOneRecordToTheNext) {
  RestoreWorld w;
  Treat(w);
  ASSERT_TRUE(w.runner.Restore(kFolder).Succeeded());
  const int createsAfterGenuine = w.services.creates;
  // A record planted in another folder, asking for a LocalSystem service.
  w.files.AddFolder(kPlanted);
  w.files.AddFile(w.RecordOf(kPlanted),
                  FormatRecordLine(BeginLine(1, u"t", u"planted.exe", u"service Hide")) +
                      FormatRecordLine(StepLine(1, ServiceDeleteStep{SystemService(u"ZcPlanted", u"C:\\p.exe")})));
  w.confirm.questions.clear();
  const RestoreOutcome outcome = w.runner.Restore(kPlanted);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_EQ(w.services.creates, createsAfterGenuine);
  EXPECT_FALSE(w.services.Exists(u"ZcPlanted"));
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].rfind(w.T(enc::RestoreUntrustedRefused), 0), 0u);
}

TEST(RestoreOverview, ALongListShowsTwentyFiveStepsOfEachKindAndCountsTheRest) {
  fakes::FakeFailureReporter reporter;
  const ConstantTexts texts(reporter);
  std::vector<Text> steps;
  std::vector<Text> refused;
  for (int i = 1; i <= 30; ++i) steps.push_back(u"step " + DecimalText(i) + u";");
  for (int i = 1; i <= 26; ++i) refused.push_back(u"refused " + DecimalText(i) + u";");
  const Text text = RestoreOverviewText(texts, false, steps, refused);
  EXPECT_EQ(text.rfind(texts.Get(enc::RestoreOverviewUntrustedLead), 0), 0u);
  EXPECT_NE(text.find(u"\r\nstep 25;"), Text::npos);
  EXPECT_EQ(text.find(u"step 26;"), Text::npos);
  EXPECT_NE(text.find(u"\r\n" + texts.Get(enc::RestoreOverviewMore) + u"5\r\n"), Text::npos);
  EXPECT_NE(text.find(u"\r\nrefused 25;"), Text::npos);
  EXPECT_EQ(text.find(u"refused 26;"), Text::npos);
  const Text last = u"\r\n" + texts.Get(enc::RestoreOverviewMore) + u"1";
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_EQ(RestoreOverviewText(texts, true, {u"one"}, {}),
            texts.Get(enc::RestoreOverviewLead) + u"\r\n\r\none");
}

TEST(RecordSize, ARecordOverTheLimitIsNeverReadWhole) {
  RestoreWorld w;
  Treat(w);
  const std::string record = w.files.Content(w.RecordOf(kFolder));
  w.files.entries[FoldCase(w.RecordOf(kFolder))].content = record + "# " + std::string(2 * 1024 * 1024, 'x') + "\n";
  w.files.largestRead = 0;
  const RestoreOutcome outcome = w.runner.Restore(kFolder);
  ASSERT_TRUE(outcome.recordRefused);
  EXPECT_EQ(outcome.problems.at(0).rfind(w.T(enc::RestoreRecordTooLarge), 0), 0u);
  EXPECT_LE(w.files.largestRead, 1048577u);
  EXPECT_GT(w.files.largestRead, 0u);
  EXPECT_TRUE(NothingRestored(w));
}

}  // namespace
}  // namespace zc::testing
