#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/definitions/load_definitions.h"
#include "core/definitions/set_freshness.h"
#include "core/definitions/version.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/definitions/wire_text.h"
#include "tools/zdefs/command.h"
#include "tools/zdefs/definitions_source.h"

namespace zc::zdefs {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr char kSource[] =
    "# test set\n"
    "[input-tunnel]\n"
    ":48121\n"
    "  \"  :48122 \"  \n"
    "\n"
    "[output-tunnel]\r\n"
    ":48123\r\n"
    "[version]\n"
    "2\n"
    "[homepage]\n"
    "http://127.0.0.1:8731/zombie/\n"
    "[registry-entries]\n"
    "ZcTestAutorun\n"
    "\"#not a comment\"\n"
    "[services]\n"
    "좀비서비스\n"
    "[kill-patterns]\n";

struct Command {
  int status;
  std::string out;
  std::string err;
};

class TempFile {
 public:
  explicit TempFile(const std::string& content) {
    static int serial = 0;
    path_ = ::testing::TempDir() + "zdefs_test_" + std::to_string(++serial) + ".txt";
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

Command Build(const std::string& source, std::vector<std::string> extra = {}) {
  TempFile file(source);
  std::vector<std::string> args = {"build", file.path()};
  args.insert(args.end(), extra.begin(), extra.end());
  std::istringstream in;
  std::ostringstream out, err;
  const int status = Run(args, in, out, err);
  return {status, out.str(), err.str()};
}

Command Show(const std::string& wire) {
  std::istringstream in(wire);
  std::ostringstream out, err;
  const int status = Run({"show", "-"}, in, out, err);
  return {status, out.str(), err.str()};
}

TEST(DefinitionsSource, BuildsAWireTextTheProgramParses) {
  const Command built = Build(kSource);
  ASSERT_EQ(built.status, 0) << built.err;
  ASSERT_FALSE(built.out.empty());
  EXPECT_EQ(built.out.substr(built.out.size() - 3), "@@\n");

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts(reporter);
  DefinitionsSet set;
  ASSERT_TRUE(ParseDefinitions(FromUtf8(built.out), texts, set).ok());
  ASSERT_TRUE(FillPatternTables(set).ok());
  EXPECT_EQ(set.DefinitionsElements.size(), 15u);  // the last one holds the line end
  EXPECT_THAT(set.InputTunnelPatterns, ElementsAre(u"", u":48121", u"  :48122 ", u""));
  EXPECT_EQ(PatternEntryCount(set.InputTunnelPatterns), 2u);
  EXPECT_EQ(set.InputTunnelTable[1], u"  :48122 ");
  EXPECT_EQ(set.OutputTunnelTable[0], u":48123");
  EXPECT_EQ(LatestVersion(set, texts), u"2");
  EXPECT_EQ(set.HomepageUrl, u"http://127.0.0.1:8731/zombie/");
  EXPECT_THAT(set.RegistryEntryList, ElementsAre(u"ZcTestAutorun", u"#not a comment"));
  EXPECT_THAT(set.ServiceNameList, ElementsAre(u"좀비서비스"));
  EXPECT_THAT(set.ConnectionKillPatterns, IsEmpty());
  EXPECT_THAT(reporter.reports, IsEmpty());
}

TEST(DefinitionsSource, EmptyPatternListsHaveNoEntries) {
  const std::string source =
      "[input-tunnel]\n[output-tunnel]\n[version]\n1\n[homepage]\nx\n[registry-entries]\n[services]\n"
      "[kill-patterns]\n";
  SourceError error;
  const auto parsed = ParseDefinitionsSource(source, error);
  ASSERT_TRUE(parsed) << error.message;
  const std::vector<Text> plain = PlainElements(*parsed);
  EXPECT_THAT(plain, ElementsAre(u"|", u"|", u"1", u"x", u"", u"", u""));
}

TEST(DefinitionsSource, FaultsNameTheirLine) {
  const std::string complete = kSource;
  std::string hundredAndOne = "[input-tunnel]\n";
  for (int i = 0; i < 101; ++i) hundredAndOne += ":" + std::to_string(i) + "\n";
  hundredAndOne += complete.substr(complete.find("[output-tunnel]"));
  const struct {
    const char* what;
    std::string source;
    size_t line;
    const char* message;
  } cases[] = {
      {"entry before a section", "x\n" + complete, 1, "before the first section"},
      {"unknown section", complete + "[extra]\n", 18, "unknown section [extra]"},
      {"section twice", complete + "[services]\n", 18, "second time (first on line 15)"},
      {"unclosed header", "[version\n", 1, "ends with \"]\""},
      {"bar in an entry", complete + "a|b\n", 18, "\"|\""},
      {"empty quoted entry", complete + "\"\"\n", 18, "empty entry"},
      {"unclosed quote", complete + "\"abc\n", 18, "double quote"},
      {"control character", complete + "a\x01" "b\n", 18, "control character"},
      {"two versions", complete + "[version]\n", 18, "second time"},
      {"second value", "[version]\n1\n2\n", 3, "exactly one value"},
      {"no version value", "[version]\n[homepage]\nx\n", 1, "needs one value"},
      {"missing section", "[version]\n1\n", 0, "section [input-tunnel] is missing"},
      {"too many patterns", hundredAndOne, 102, "at most 100 entries"},
  };
  for (const auto& c : cases) {
    const Command built = Build(c.source);
    EXPECT_EQ(built.status, 1) << c.what;
    EXPECT_THAT(built.err, HasSubstr(c.message)) << c.what;
    const std::string where = c.line > 0 ? ".txt:" + std::to_string(c.line) + ": error:" : ".txt: error:";
    EXPECT_THAT(built.err, HasSubstr(where)) << c.what;
    EXPECT_TRUE(built.out.empty()) << c.what;
  }
}

TEST(ZdefsCommands, UsageAndUnreadableFilesExitWithTwo) {
  std::ostringstream out, err;
  std::istringstream in;
  const std::vector<std::string> cases[] = {
      {"build"}, {"build", "/nonexistent/source.zdefs"}, {"build", "a", "b"}, {"build", "a", "--version", ""},
      {"show"},  {"show", "/nonexistent/wire.txt"},      {"show", "a", "b"},
  };
  for (const auto& args : cases) EXPECT_EQ(zdefs::Run(args, in, out, err), 2) << args.size() << " " << args.back();
  EXPECT_THAT(out.str(), IsEmpty());
  EXPECT_THAT(err.str(), HasSubstr("usage: zdefs build SOURCE"));
  EXPECT_THAT(err.str(), HasSubstr("usage: zdefs show WIRE-FILE|-"));
}

TEST(ZdefsCommands, ShowPrintsWhatTheProgramReadsAndExitsZeroWhenStartUpGoesOn) {
  const Command built = Build(kSource);
  const Command shown = Show(built.out);
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.err, IsEmpty());
  EXPECT_THAT(shown.out, HasSubstr("elements: 15\n"));
  EXPECT_THAT(shown.out, HasSubstr("element 1 (input tunnel patterns): |:48121|  :48122 |\n"));
  EXPECT_THAT(shown.out, HasSubstr("input tunnel table: 2 entries\n  [0] :48121\n  [1]   :48122 \n"));
  EXPECT_THAT(shown.out, HasSubstr("output tunnel table: 1 entry\n  [0] :48123\n"));
  EXPECT_THAT(shown.out, HasSubstr("service names: 1 entry\n  [0] 좀비서비스\n"));
  EXPECT_THAT(shown.out, HasSubstr("kill patterns: 0 entries\n"));
  EXPECT_THAT(shown.out, HasSubstr("LatestVersion: 2 (reads as 2;"));
  EXPECT_THAT(shown.out, HasSubstr("HomepageUrl: http://127.0.0.1:8731/zombie/\n"));
}

// The serial and expiry go into element 0, which the program reads back exactly.
TEST(ZdefsCommands, BuildPutsTheSerialAndExpiryIntoTheFirstElement) {
  const Command given = Build(kSource, {"--serial", "42", "--expires", "4102444800"});
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_THAT(Show(given.out).out, HasSubstr("element 0 (serial and expiry): serial 42, expires 4102444800"));

  // By default: the build's time as the serial, ninety days of life.
  const int64_t before = static_cast<int64_t>(std::time(nullptr));
  const Command dated = Build(kSource);
  const int64_t after = static_cast<int64_t>(std::time(nullptr));
  fakes::FakeFailureReporter reporter;
  const ConstantTexts texts(reporter);
  DefinitionsSet set;
  ASSERT_TRUE(ParseDefinitions(FromUtf8(dated.out), texts, set).ok());
  const std::optional<SetFreshness> freshness = ReadSetFreshness(texts.Get(set.DefinitionsElements[0]));
  ASSERT_TRUE(freshness);
  EXPECT_GE(static_cast<int64_t>(freshness->serial), before);
  EXPECT_LE(static_cast<int64_t>(freshness->serial), after);
  EXPECT_EQ(freshness->expiresAt, static_cast<int64_t>(freshness->serial) + 90 * 86400);
  const Command inDays = Build(kSource, {"--serial", "7", "--expires", "+1"});
  EXPECT_EQ(inDays.status, 0);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--serial", "0"}, {"--serial", "x"},
                                             {"--serial", "-3"}, {"--expires", "soon"}, {"--expires", "+"}}) {
    EXPECT_EQ(Build(kSource, bad).status, 2) << bad[0] << " " << bad[1];
  }
}

TEST(ZdefsCommands, ShowExitsOneWithTheReasonWhenStartUpWouldEnd) {
  fakes::FakeFailureReporter reporter;
  const int64_t own = OwnVersion(ConstantTexts(reporter));
  testing_util::PlainDefinitions longList;
  std::string pieces = "|";
  for (int i = 0; i < 101; ++i) pieces += ":" + std::to_string(i) + "|";
  longList.outputTunnel = pieces;

  const struct {
    const char* what;
    std::string wire;
    const char* reason;
  } cases[] = {
      {"empty body", "", "0 elements; element 1 is missing"},
      {"three elements", "a@@b@@c", "3 elements; element 3 is missing"},
      {"single at-signs", "a@b@c@d@e@f@g@h@i@j@k@l@m@n", "has 1 element;"},
      {"404 page", "<html><body><h1>404 Not Found</h1></body></html>\n", "element 1 is missing"},
      {"newer version", Build(kSource, {"--version", std::to_string(own + 1)}).out, "is newer than"},
      {"101 output patterns", ToUtf8(testing_util::WireText(longList)), "element 3 has 101 entries"},
  };
  for (const auto& c : cases) {
    const Command shown = Show(c.wire);
    EXPECT_EQ(shown.status, 1) << c.what;
    EXPECT_THAT(shown.err, HasSubstr("start-up would end")) << c.what;
    EXPECT_THAT(shown.err, HasSubstr(c.reason)) << c.what;
  }
}

TEST(ZdefsCommands, ShowNotesElementsThatDoNotDecipher) {
  testing_util::PlainDefinitions plain;
  std::vector<Text> elements = testing_util::ElementsOf(plain);
  elements[11] = u"ABC";  // odd digit count
  const Command shown = Show(ToUtf8(testing_util::JoinElements(elements)) + "\r\n");
  // The line end joins element 13, which then does not decipher either.
  EXPECT_EQ(shown.status, 0);
  EXPECT_THAT(shown.err, HasSubstr("element 11 does not decipher"));
  EXPECT_THAT(shown.err, HasSubstr("element 13 does not decipher"));
  EXPECT_THAT(shown.out, HasSubstr("service names: 0 entries\n"));
}

}  // namespace
}  // namespace zc::zdefs
