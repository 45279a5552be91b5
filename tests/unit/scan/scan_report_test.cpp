// The silent scan's report, read back as a collector reads it.

#include "core/scan/scan_report.h"

#include <gtest/gtest.h>

#include "core/platform/result_list.h"
#include "core/scan/json_text.h"
#include "tests/unit/scan/json_reader.h"

namespace zc {
namespace {

using testing::JsonReader;
using testing::JsonValue;

TEST(JsonTextTest, EveryTextComesBackAsItWas) {
  const Text texts[] = {
      u"plain",
      u"C:\\좀비치료백업\\\"quoted\"",
      u"line\r\nnext\ttab\x01\x1f\x7f",
      u"\U0001F600 outside the basic plane",
      Text(u"lone ") + char16_t(0xD800) + u" high, lone " + char16_t(0xDC00) + u" low",
      Text(u"high at the end ") + char16_t(0xDBFF),
  };
  for (const Text& text : texts) {
    std::string json;
    AppendJsonString(json, text);
    EXPECT_EQ(JsonReader::Parse(json).string, text) << json;
  }
}

TEST(JsonTextTest, UtcTimes) {
  EXPECT_EQ(UtcTimeText(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcTimeText(951782400), "2000-02-29T00:00:00Z");
  EXPECT_EQ(UtcTimeText(1796971199), "2026-12-11T06:39:59Z");
  EXPECT_EQ(UtcTimeText(-1), "1969-12-31T23:59:59Z");
}

TEST(ScanReportTest, AReportReadsBackWithEveryFindingAndItsFiles) {
  ScanReport report;
  report.programVersion = u"2.0";
  report.definitionsVersion = u"2";
  report.definitionsSerial = 18446744073709551615ull;
  report.time = 1796971199;
  report.treat = true;
  report.exitCode = 3;

  ReportedFinding value;
  value.finding = {u"ZcEntry", u"", u"C:\\zombie\\bad.exe", u"", Text(kKindRegistryInfection), u"ZcEntry", u"1"};
  value.files = {{u"C:\\zombie\\bad.exe", Text(64, u'a')}};
  value.fileFinding = FileFinding::File;
  value.outcome = FindingOutcome::Treated;
  value.backupFolder = u"C:\\좀비치료백업\\ZcEntry";
  ReportedFinding host;
  host.finding = {u"rundll32.exe", u"4120", u"C:\\Windows\\System32\\rundll32.exe", u"N/A", Text(kKindOutputTunnel),
                  u"", u""};
  host.files = {{u"C:\\Users\\kim\\a.dll", u""}};
  host.kept = {{KeptReason::HostProgram, u"C:\\Windows\\System32\\rundll32.exe", u""},
               {KeptReason::SignedFile, u"C:\\x.dll", u"Contoso"}};
  host.outcome = FindingOutcome::Incomplete;
  host.failures = {u"첫 단계", u"둘째 단계"};
  report.findings = {value, host};
  report.killMatches = {{6300, u"door.exe", true}};

  const JsonValue json = JsonReader::Parse(ScanReportJson(report));
  EXPECT_EQ(json["program"]["version"].string, u"2.0");
  EXPECT_EQ(json["definitions"]["version"].string, u"2");
  EXPECT_EQ(json["time"].string, u"2026-12-11T06:39:59Z");
  EXPECT_TRUE(json["treat"].boolean);
  EXPECT_EQ(json["exitCode"].number, 3);
  ASSERT_EQ(json["findings"].array.size(), 2u);

  const JsonValue& first = json["findings"][0];
  EXPECT_EQ(first["kind"].string, u"autorun-value");
  EXPECT_EQ(first["name"].string, u"ZcEntry");
  EXPECT_EQ(first["processId"].type, JsonValue::Type::Null);
  EXPECT_EQ(first["files"][0]["path"].string, u"C:\\zombie\\bad.exe");
  EXPECT_EQ(first["files"][0]["sha256"].string, Text(64, u'a'));
  EXPECT_EQ(first["outcome"].string, u"treated");
  EXPECT_EQ(first["backupFolder"].string, u"C:\\좀비치료백업\\ZcEntry");

  const JsonValue& second = json["findings"][1];
  EXPECT_EQ(second["kind"].string, u"outbound-connection");
  EXPECT_EQ(second["processId"].number, 4120);
  EXPECT_EQ(second["files"][0]["sha256"].type, JsonValue::Type::Null);
  EXPECT_EQ(second["kept"][0]["reason"].string, u"host-program");
  EXPECT_EQ(second["kept"][1]["reason"].string, u"signed-by-other-publisher");
  EXPECT_EQ(second["kept"][1]["publisher"].string, u"Contoso");
  EXPECT_EQ(second["outcome"].string, u"incomplete");
  EXPECT_EQ(second["failures"][1].string, u"둘째 단계");
  EXPECT_FALSE(second.Has("backupFolder"));

  EXPECT_EQ(json["killMatches"][0]["processId"].number, 6300);
  EXPECT_TRUE(json["killMatches"][0]["ended"].boolean);
  // The serial keeps all its digits, beyond what a double holds.
  EXPECT_NE(ScanReportJson(report).find("\"serial\":18446744073709551615"), std::string::npos);
}

TEST(ScanReportTest, AnEmptyRunIsStillAWholeReport) {
  ScanReport report;
  report.message = u"정의 파일을 쓸 수 없습니다";
  report.exitCode = 4;
  const JsonValue json = JsonReader::Parse(ScanReportJson(report));
  EXPECT_EQ(json["definitions"]["serial"].type, JsonValue::Type::Null);
  EXPECT_TRUE(json["findings"].array.empty());
  EXPECT_EQ(json["message"].string, report.message);
}

}  // namespace
}  // namespace zc
