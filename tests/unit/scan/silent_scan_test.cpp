// The silent scan on in-memory platform parts: the definitions served as at start-up, a
// planted autorun value and a connection that a kill pattern matches, then the scan
// alone, the scan that treats, and the runs that stop early, each with its exit code,
// its report (read back) and what it changed.

#include "core/scan/silent_scan.h"

#include <gtest/gtest.h>

#include "core/crypto/text_cipher.h"
#include "core/platform/event_ids.h"
#include "tests/unit/app/program_fakes.h"
#include "tests/unit/scan/json_reader.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;
using testing::JsonReader;
using testing::JsonValue;

constexpr TextView kBotPath = u"C:\\zombie\\bad.exe";

// Digests the fake file system's files: the text "sha-of:" and the path.
class PathDigests : public FileHashApi {
 public:
  explicit PathDigests(fakes::FakeFiles& files) : files_(files) {}
  std::optional<FileDigest> Digest(TextView path) override {
    if (!files_.IsFile(path)) return std::nullopt;
    return FileDigest{u"sha-of:" + Text(path), 2};
  }

 private:
  fakes::FakeFiles& files_;
};

class SilentScanTest : public ::testing::Test, public ProgramFakes {
 public:
  SilentScanTest() {
    Serve(u"2");
    registry.SetText(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry", kBotPath);
    files.AddFolder(u"C:\\zombie");
    files.AddFile(kBotPath);
    processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    processes.AddProcess(6300, u"door.exe", u"\\Device\\HarddiskVolume1\\door\\door.exe");
    console.SetOutput(T(enc::ConnectionListCommand),
                      u"  TCP    10.0.0.5:49703    198.51.100.7:48129   ESTABLISHED     6300\r\n");
  }

  // The wire text of a set whose published version is `version`: "@@"-separated
  // elements, the odd ones 1 to 13 enciphered.
  void Serve(TextView version) {
    const Text plain[] = {u"", u"|:48121|", u"", u"|:48123|", u"", Text(version), u"", u"http://zombie.example/",
                          u"", u"ZcEntry", u"", u"ZcService", u"", u":48129", u""};
    Text body;
    for (size_t i = 0; i < 15; ++i) {
      if (i) body += u"@@";
      body += (i % 2) ? EncryptText(plain[i], kTextKey, reporter) : Text(u"x");
    }
    http.bodies[T(enc::DefinitionsAddress)] = body;
  }

  ScanRun Run(bool treat) {
    SilentScan scan(texts, Platform(), digests, [this](float seconds) { paused += seconds; },
                    DefinitionsSigner::Unsigned());
    ScanRequest request;
    request.treat = treat;
    return scan.Run(request);
  }

  bool ValueStays() { return registry.Stored(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry").has_value(); }
  size_t EventsOf(uint32_t id) const {
    size_t n = 0;
    for (const auto& event : events.events) n += event.first == id;
    return n;
  }

  PathDigests digests{files};
  float paused = 0;
};

TEST_F(SilentScanTest, AScanReportsEveryFindingAndChangesNothing) {
  const ScanRun run = Run(false);
  EXPECT_EQ(run.exitCode, ScanExitCode::Found);

  const JsonValue json = JsonReader::Parse(ScanReportJson(run.report));
  EXPECT_EQ(json["exitCode"].number, 1);
  EXPECT_FALSE(json["treat"].boolean);
  EXPECT_EQ(json["definitions"]["version"].string, u"2");
  ASSERT_EQ(json["findings"].array.size(), 1u);
  const JsonValue& finding = json["findings"][0];
  EXPECT_EQ(finding["kind"].string, u"autorun-value");
  EXPECT_EQ(finding["name"].string, u"bad.exe");
  EXPECT_EQ(finding["entryName"].string, u"ZcEntry");
  EXPECT_EQ(finding["path"].string, kBotPath);
  EXPECT_EQ(finding["files"][0]["path"].string, kBotPath);
  EXPECT_EQ(finding["files"][0]["sha256"].string, u"sha-of:" + Text(kBotPath));
  EXPECT_EQ(finding["outcome"].string, u"found");
  // The kill pattern's match is reported, not ended.
  EXPECT_EQ(json["killMatches"][0]["processId"].number, 6300);
  EXPECT_FALSE(json["killMatches"][0]["ended"].boolean);

  EXPECT_TRUE(ValueStays());
  EXPECT_TRUE(files.IsFile(kBotPath));
  EXPECT_TRUE(shell.launches.empty());  // no taskkill, no file explorer
  EXPECT_FALSE(files.IsFolder(T(enc::BackupPrefix) + u"bad.exe"));  // no backup folder begun
  EXPECT_EQ(EventsOf(events::kFindingReported), 1u);
  EXPECT_EQ(EventsOf(events::kTreatmentDone), 0u);
  EXPECT_EQ(treatmentLock.timesHeld, 0);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines[0], u"found\tautorun-value\tbad.exe\tNone\t" + Text(kBotPath));
}

TEST_F(SilentScanTest, AScanThatTreatsTakesEveryFindingAndSaysSo) {
  const ScanRun run = Run(true);
  EXPECT_EQ(run.exitCode, ScanExitCode::AllTreated);
  EXPECT_FALSE(ValueStays());
  EXPECT_FALSE(files.IsFile(kBotPath));  // backed up, a placeholder in its place

  const JsonValue json = JsonReader::Parse(ScanReportJson(run.report));
  EXPECT_EQ(json["exitCode"].number, 2);
  const JsonValue& finding = json["findings"][0];
  EXPECT_EQ(finding["outcome"].string, u"treated");
  EXPECT_EQ(finding["files"][0]["sha256"].string, u"sha-of:" + Text(kBotPath));  // read before it went
  EXPECT_EQ(finding["backupFolder"].string, T(enc::BackupPrefix) + u"bad.exe");
  EXPECT_TRUE(json["killMatches"][0]["ended"].boolean);

  // The kill pass ended its match, the pass the bot's running copies; no file explorer
  // opened on the backup folder.
  EXPECT_EQ(shell.CommandLines(),
            (std::vector<Text>{u"taskkill /f /pid \"6300\"", u"taskkill /f /im \"bad.exe\""}));
  EXPECT_EQ(EventsOf(events::kTreatmentDone), 1u);
  EXPECT_EQ(treatmentLock.timesHeld, 1);
  EXPECT_FALSE(treatmentLock.held);  // let go at the end
  EXPECT_TRUE(view.messages.empty());
  EXPECT_GT(paused, 0.0f);  // the pass's waits still wait
}

TEST_F(SilentScanTest, AFailedStepMakesTheRunIncomplete) {
  registry.FailWrites(true);
  const ScanRun run = Run(true);
  EXPECT_EQ(run.exitCode, ScanExitCode::Incomplete);
  const JsonValue json = JsonReader::Parse(ScanReportJson(run.report));
  EXPECT_EQ(json["findings"][0]["outcome"].string, u"incomplete");
  EXPECT_FALSE(json["findings"][0]["failures"].array.empty());
  EXPECT_EQ(EventsOf(events::kTreatmentIncomplete), 1u);
}

TEST_F(SilentScanTest, RunsThatStopEarlyChangeNothing) {
  struct Case {
    const char* name;
    bool treat;
    std::function<void(SilentScanTest&)> arrange;
    ScanExitCode code;
    TextView message;
  };
  const Case cases[] = {
      {"treating needs an elevated token", true, [](SilentScanTest& t) { t.elevation.elevated = false; },
       ScanExitCode::NotElevated, enc::ScanNotElevated},
      {"another copy is treating", true, [](SilentScanTest& t) { t.treatmentLock.heldElsewhere = true; },
       ScanExitCode::AnotherCopyTreating, enc::ScanAnotherCopyTreating},
      {"no definitions server", true, [](SilentScanTest& t) { t.http.bodies.clear(); },
       ScanExitCode::DefinitionsUnavailable, enc::ScanDefinitionsUnavailable},
      {"a newer version is published", true, [](SilentScanTest& t) { t.Serve(u"3"); },
       ScanExitCode::NewerVersionRequired, enc::ScanNewerVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SilentScanTest& t = *this;
    t.Serve(u"2");
    t.http.requests.clear();
    t.elevation.elevated = true;
    t.treatmentLock.heldElsewhere = false;
    c.arrange(t);
    const ScanRun run = Run(c.treat);
    EXPECT_EQ(run.exitCode, c.code);
    EXPECT_EQ(run.report.exitCode, static_cast<int>(c.code));
    EXPECT_EQ(run.report.message.rfind(T(c.message), 0), 0u) << ToUtf8(run.report.message);
    EXPECT_TRUE(run.report.findings.empty());
    EXPECT_TRUE(ValueStays());
    EXPECT_TRUE(shell.launches.empty());
  }
  // A refused or missing set leaves its event.
  EXPECT_EQ(EventsOf(events::kDefinitionsRefused), 1u);
}

TEST_F(SilentScanTest, NothingFoundIsZero) {
  registry.DeleteRegistryValue(kHkeyCurrentUser, T(enc::InfectionKeyPath), u"ZcEntry");
  console.SetOutput(T(enc::ConnectionListCommand), u"");
  EXPECT_EQ(Run(false).exitCode, ScanExitCode::NothingFound);
  EXPECT_EQ(Run(true).exitCode, ScanExitCode::NothingFound);
  EXPECT_TRUE(events.events.empty());
}

}  // namespace
}  // namespace zc
