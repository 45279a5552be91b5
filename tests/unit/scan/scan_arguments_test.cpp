// The silent scan's command line and its exit codes.

#include "core/scan/scan_arguments.h"
#include "core/scan/scan_exit_code.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_activity_log.h"

namespace zc {
namespace {

class ScanArgumentsTest : public ::testing::Test {
 protected:
  Text T(TextView enciphered) const { return texts.Get(enciphered); }
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
};

TEST_F(ScanArgumentsTest, ReadsTheSwitchesInAnyOrderAndCase) {
  struct Case {
    std::vector<Text> arguments;
    bool treat;
    std::optional<Text> report;
  };
  const Case cases[] = {
      {{u"/scan"}, false, std::nullopt},
      {{u"-SCAN", u"/Treat"}, true, std::nullopt},
      {{u"/report", u"C:\\보고서 폴더\\r.json", u"/scan"}, false, u"C:\\보고서 폴더\\r.json"},
      {{u"/scan", u"/treat", u"/report", u"out.json"}, true, u"out.json"},
      // A file name that starts like a switch but is none is still a file name.
      {{u"/scan", u"/report", u"-report.json"}, false, u"-report.json"},
  };
  for (const Case& c : cases) {
    const ScanArguments parsed = ParseScanArguments(c.arguments, texts);
    ASSERT_EQ(parsed.kind, ScanArgumentsKind::Scan) << ToUtf8(parsed.problem);
    EXPECT_EQ(parsed.request.treat, c.treat);
    EXPECT_EQ(parsed.request.reportPath, c.report);
    EXPECT_TRUE(AsksForSilentScan(c.arguments));
  }
}

TEST_F(ScanArgumentsTest, BadArgumentsNameWhatIsWrong) {
  struct Case {
    std::vector<Text> arguments;
    TextView lead;
    Text argument;
  };
  const Case cases[] = {
      {{u"/scan", u"/fix"}, enc::ScanUnknownArgument, u"/fix"},
      {{u"/scan", u"C:\\x"}, enc::ScanUnknownArgument, u"C:\\x"},
      {{u"/scan", u"/scan"}, enc::ScanRepeatedArgument, u"/scan"},
      {{u"/scan", u"/treat", u"-TREAT"}, enc::ScanRepeatedArgument, u"-TREAT"},
      {{u"/scan", u"/report", u"a", u"/report", u"b"}, enc::ScanRepeatedArgument, u"/report"},
      {{u"/scan", u"/report"}, enc::ScanReportNeedsFile, u""},
      {{u"/scan", u"/report", u""}, enc::ScanReportNeedsFile, u""},
      {{u"/scan", u"/report", u"/treat"}, enc::ScanReportNeedsFile, u""},
      {{u"/treat"}, enc::ScanNeedsScan, u"/treat"},
      {{u"/report", u"r.json"}, enc::ScanNeedsScan, u"/report"},
      {{}, enc::ScanNeedsScan, u""},
      {{u"/"}, enc::ScanUnknownArgument, u"/"},
  };
  for (const Case& c : cases) {
    const ScanArguments parsed = ParseScanArguments(c.arguments, texts);
    EXPECT_EQ(parsed.kind, ScanArgumentsKind::Bad);
    EXPECT_EQ(parsed.problem, T(c.lead) + c.argument);
  }
  EXPECT_EQ(ParseScanArguments({u"/scan", u"/?"}, texts).kind, ScanArgumentsKind::Help);
  EXPECT_EQ(ParseScanArguments({u"-help"}, texts).kind, ScanArgumentsKind::Help);
  // Only "/scan" turns the program into its silent form; the window keeps its own.
  EXPECT_FALSE(AsksForSilentScan({u"/restore", u"C:\\x"}));
  EXPECT_FALSE(AsksForSilentScan({u"/treat"}));
  EXPECT_FALSE(AsksForSilentScan({u"/scanner"}));
}

TEST(ScanExitCodeTest, TheCodeSaysWhatTheRunFoundAndDid) {
  struct Case {
    ScanTally tally;
    int code;
  };
  const Case cases[] = {
      {{0, false, 0, 0}, 0},
      {{0, true, 0, 0}, 0},
      {{3, false, 0, 0}, 1},
      {{3, true, 0, 0}, 2},
      {{3, true, 0, 1}, 3010},
      {{3, true, 1, 0}, 3},
      {{3, true, 1, 1}, 3},  // a failed step outweighs a restart
  };
  for (const Case& c : cases) EXPECT_EQ(static_cast<int>(ExitCodeOf(c.tally)), c.code);
  // The codes management tools read are fixed numbers.
  EXPECT_EQ(static_cast<int>(ScanExitCode::DefinitionsUnavailable), 4);
  EXPECT_EQ(static_cast<int>(ScanExitCode::NotElevated), 5);
  EXPECT_EQ(static_cast<int>(ScanExitCode::BadArguments), 6);
  EXPECT_EQ(static_cast<int>(ScanExitCode::AnotherCopyTreating), 7);
  EXPECT_EQ(static_cast<int>(ScanExitCode::NewerVersionRequired), 8);
}

}  // namespace
}  // namespace zc
