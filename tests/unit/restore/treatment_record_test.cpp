// The treatment record: what the recorder writes reads back as the same steps, lines
// cut short by a crash are passed over, and anything else unreadable is a fault.

#include <gtest/gtest.h>

#include <string>

#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"
#include "tests/unit/restore/restore_world.h"

namespace zc::testing {
namespace {

constexpr char16_t kFolder[] = u"C:\\좀비치료백업\\악성 프로그램.exe";
constexpr char16_t kOriginal[] = u"C:\\Program Files\\좀비\\악성 프로그램.exe";

ServiceConfig SampleService() {
  ServiceConfig config;
  config.name = u"ZcTestSvc";
  config.displayName = u"좀비 테스트 서비스";
  config.imagePath = u"\"C:\\Program Files\\좀비\\svc.exe\" -k 50%";
  config.serviceType = 0x10;
  config.startType = 4;
  config.errorControl = 1;
  config.dependencies = {u"Tcpip", u"+NetworkProvider"};
  config.account = u"LocalSystem";
  config.description = u"두 줄\r\n설명\t탭";
  return config;
}

// Writes one treatment of every kind of step through the recorder.
void RecordEverything(RestoreWorld& w) {
  w.files.AddFolder(u"C:\\좀비치료백업");
  w.files.AddFolder(kFolder);
  w.files.AddFolder(u"C:\\Program Files");
  w.files.AddFolder(u"C:\\Program Files\\좀비");
  w.files.AddFile(kOriginal, std::string("MZ\0\x01 binary", 11), 0x21);
  w.files.AddFile(Text(kFolder) + u"\\악성 프로그램.exe (2)", std::string("MZ\0\x01 binary", 11));
  // A multi-text value whose data holds every byte that needs care in a line.
  const std::vector<uint8_t> multi = {'a', 0, '%', 0, '\t', 0, '\n', 0, 0, 0, 0, 0};
  w.registry.Set(kCurrentUser, w.RunKey(), u"좀비 자동 실행", {7, multi});
  w.registry.Set(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"Start", {4, {2, 0, 0, 0}});
  w.services.Add(SampleService());

  w.recorder.Begin(kFolder, u"악성 프로그램.exe", u"outPut Tun");
  w.recorder.EndedProcess(u"악성 프로그램.exe", 4120, kOriginal);
  w.recorder.ServiceStart(kLocalMachine, w.ServiceKey(u"ZcTestSvc"), u"ZcTestSvc");
  w.recorder.RegistryValue(kCurrentUser, w.RunKey(), u"좀비 자동 실행");
  w.recorder.RegistryValue(kLocalMachine, w.RunKey(), u"좀비 자동 실행");  // missing: nothing recorded
  w.recorder.File(kOriginal, Text(kFolder) + u"\\악성 프로그램.exe (2)");
  w.recorder.ServiceDelete(u"ZcTestSvc");
  w.recorder.ServiceDelete(u"NoSuchService");  // missing: nothing recorded
}

TEST(TreatmentRecord, WhatIsRecordedReadsBackExactly) {
  RestoreWorld w;
  RecordEverything(w);
  const RecordReading reading = ReadTreatmentRecord(w.files.Content(w.RecordOf(kFolder)));
  ASSERT_TRUE(reading.faults.empty()) << reading.faults.front();
  ASSERT_EQ(reading.treatments.size(), 1u);
  const TreatmentRecord& t = reading.treatments[0];
  EXPECT_EQ(t.number, 1);
  EXPECT_EQ(t.time, u"2026-12-10 09:00:00");
  EXPECT_EQ(t.name, u"악성 프로그램.exe");
  EXPECT_EQ(t.kind, u"outPut Tun");
  EXPECT_FALSE(t.restored);

  const std::string copy("MZ\0\x01 binary", 11);
  const std::vector<TreatmentStep> expected = {
      EndedProcessStep{u"악성 프로그램.exe", 4120, kOriginal},
      ServiceStartStep{u"ZcTestSvc", 2u},
      RegistryValueStep{kCurrentUser, w.RunKey(), u"좀비 자동 실행",
                        {7, {'a', 0, '%', 0, '\t', 0, '\n', 0, 0, 0, 0, 0}}},
      FileStep{kOriginal, u"악성 프로그램.exe (2)", 11, fakes::StandInDigest(copy), 0x21},
      ServiceDeleteStep{SampleService()},
  };
  EXPECT_EQ(t.steps, expected);
}

TEST(TreatmentRecord, EveryEntryIsOneReadableLine) {
  RestoreWorld w;
  RecordEverything(w);
  const std::string content = w.files.Content(w.RecordOf(kFolder));
  // Seven entries, each closed by its own line end; the Korean text stays readable.
  size_t lines = 0;
  for (size_t at = 0; (at = content.find("\tend\r\n", at)) != std::string::npos; at += 6) ++lines;
  EXPECT_EQ(lines, 6u) << content;
  EXPECT_NE(content.find("path=C:\\Program Files\\좀비\\악성 프로그램.exe"), std::string::npos) << content;
  EXPECT_NE(content.find("description=두 줄%0D%0A설명%09탭"), std::string::npos) << content;
  EXPECT_NE(content.find("root=0x80000001"), std::string::npos) << content;
}

TEST(TreatmentRecord, TreatmentsOfOneNameShareTheFolderAndKeepTheirOwnEntries) {
  RestoreWorld w;
  w.files.AddFolder(u"C:\\좀비치료백업\\b");
  w.registry.Set(kCurrentUser, w.RunKey(), u"a", {1, {'x', 0, 0, 0}});
  w.recorder.Begin(u"C:\\좀비치료백업\\b", u"a.exe", u"reg Infection");
  w.recorder.RegistryValue(kCurrentUser, w.RunKey(), u"a");
  w.clock.now = u"2026-12-10 10:00:00";
  w.registry.Set(kCurrentUser, w.RunKey(), u"a", {1, {'y', 0, 0, 0}});
  w.recorder.Begin(u"C:\\좀비치료백업\\b\\", u"a.exe", u"reg Infection");
  w.recorder.RegistryValue(kCurrentUser, w.RunKey(), u"a");
  w.files.AppendWhole(w.RecordOf(u"C:\\좀비치료백업\\b"), FormatRecordLine(RestoredLine(1, u"2026-12-10 11:00:00")));

  const RecordReading reading = ReadTreatmentRecord(w.files.Content(w.RecordOf(u"C:\\좀비치료백업\\b")));
  ASSERT_TRUE(reading.faults.empty());
  ASSERT_EQ(reading.treatments.size(), 2u);
  EXPECT_EQ(reading.treatments[0].number, 1);
  EXPECT_TRUE(reading.treatments[0].restored);
  EXPECT_EQ(reading.treatments[0].restoredTime, u"2026-12-10 11:00:00");
  EXPECT_EQ(std::get<RegistryValueStep>(reading.treatments[0].steps.at(0)).value.data[0], 'x');
  EXPECT_EQ(reading.treatments[1].number, 2);
  EXPECT_EQ(reading.treatments[1].time, u"2026-12-10 10:00:00");
  EXPECT_FALSE(reading.treatments[1].restored);
  EXPECT_EQ(std::get<RegistryValueStep>(reading.treatments[1].steps.at(0)).value.data[0], 'y');
}

TEST(TreatmentRecord, AnEntryCutShortByACrashLeavesTheEarlierOnesAndTheNextTreatmentReadable) {
  RestoreWorld w;
  w.files.AddFolder(u"C:\\좀비치료백업\\b");
  w.registry.Set(kCurrentUser, w.RunKey(), u"a", {1, {'x', 0, 0, 0}});
  w.services.Add(SampleService());
  w.recorder.Begin(u"C:\\좀비치료백업\\b", u"a.exe", u"reg Infection");
  w.recorder.RegistryValue(kCurrentUser, w.RunKey(), u"a");
  w.files.cutAppendsAfter = 40;  // the crash: the service's entry is cut in its middle
  w.recorder.ServiceDelete(u"ZcTestSvc");

  // After the restart a new treatment is recorded behind the cut line.
  RestoreWorld after;
  after.files = w.files;
  after.registry.Set(kCurrentUser, after.RunKey(), u"b", {1, {'z', 0, 0, 0}});
  after.recorder.Begin(u"C:\\좀비치료백업\\b", u"b.exe", u"reg Infection");
  after.recorder.RegistryValue(kCurrentUser, after.RunKey(), u"b");

  const RecordReading reading = ReadTreatmentRecord(after.files.Content(after.RecordOf(u"C:\\좀비치료백업\\b")));
  ASSERT_TRUE(reading.faults.empty()) << reading.faults.front();
  ASSERT_EQ(reading.treatments.size(), 2u);
  EXPECT_EQ(reading.treatments[0].steps.size(), 1u);  // the cut service entry is absent
  EXPECT_EQ(reading.treatments[1].number, 2);
  EXPECT_EQ(reading.treatments[1].name, u"b.exe");
  ASSERT_EQ(reading.treatments[1].steps.size(), 1u);
}

struct ReaderCase {
  const char* what;
  std::string content;
  size_t treatments;
  size_t stepsOfFirst;
  const char* fault;  // a part of the first fault; empty when none is expected
};

const std::string kBegin = "begin\ttreatment=1\ttime=t\tname=a.exe\tkind=reg Infection\tend\r\n";
const std::string kValue =
    "registry-value\ttreatment=1\troot=0x80000001\tkey=Software\\Run\tvalue=v\ttype=3\tdata=00ff\tend\r\n";

class ReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderCases, ReadsWhatCanBeTrustedAndNamesTheRest) {
  const ReaderCase& c = GetParam();
  const RecordReading reading = ReadTreatmentRecord(c.content);
  ASSERT_EQ(reading.treatments.size(), c.treatments) << c.what;
  if (c.treatments > 0) {
    EXPECT_EQ(reading.treatments[0].steps.size(), c.stepsOfFirst) << c.what;
  }
  if (std::string(c.fault).empty()) {
    EXPECT_TRUE(reading.faults.empty()) << c.what << ": " << reading.faults.front();
  } else {
    ASSERT_FALSE(reading.faults.empty()) << c.what;
    EXPECT_NE(reading.faults[0].find(c.fault), std::string::npos) << c.what << ": " << reading.faults[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Record, ReaderCases,
    ::testing::Values(
        ReaderCase{"whole", kBegin + kValue, 1, 1, ""},
        ReaderCase{"last line torn", kBegin + kValue.substr(0, 50), 1, 0, ""},
        ReaderCase{"last line torn just before its line end", kBegin + kValue.substr(0, kValue.size() - 2), 1, 1, ""},
        ReaderCase{"torn line closed by a later write", kBegin + kValue.substr(0, 50) + "\r\n" + kValue, 1, 1, ""},
        ReaderCase{"only a torn begin", kBegin.substr(0, 20), 0, 0, ""},
        ReaderCase{"unknown keys and actions", kBegin + "note\tsomething=1\tend\r\n" +
                       "registry-value\ttreatment=1\tnew-key=x\troot=0x80000001\tkey=k\tvalue=v\ttype=4\tdata=01000000\tend\n",
                   1, 1, ""},
        ReaderCase{"comments and blank lines", "# a person's note\r\n\r\n" + kBegin + "\n" + kValue, 1, 1, ""},
        ReaderCase{"Korean text escaped and plain", "begin\ttreatment=1\ttime=t\tname=%EC%A2%80비.exe\tkind=k\tend\n", 1, 0,
                   ""},
        ReaderCase{"bad escape", "begin\ttreatment=1\tname=%G1\tend\n", 0, 0, "cannot be read"},
        ReaderCase{"escape cut at the end", "begin\ttreatment=1\tname=%4\tend\n", 0, 0, "cannot be read"},
        ReaderCase{"field without a key", kBegin + "registry-value\ttreatment=1\t=x\tend\n", 1, 0, "cannot be read"},
        ReaderCase{"odd hexadecimal data", kBegin + "registry-value\ttreatment=1\troot=0x80000001\tkey=k\tvalue=v\ttype=3\tdata=0f0\tend\n",
                   1, 0, "data is not hexadecimal"},
        ReaderCase{"missing digest", kBegin + "file\ttreatment=1\tpath=C:\\a\tbackup=a\tlength=1\tattributes=0\tend\n", 1, 0,
                   "sha256 is missing"},
        ReaderCase{"length not a number", kBegin + "file\ttreatment=1\tpath=C:\\a\tbackup=a\tlength=1x\tsha256=" +
                       std::string(64, 'a') + "\tattributes=0\tend\n",
                   1, 0, "length is not a number"},
        ReaderCase{"entry of a treatment that never began", kValue, 0, 0, "never began"},
        ReaderCase{"treatment begun twice", kBegin + kBegin, 1, 0, "begins twice"},
        ReaderCase{"no treatment number", kBegin + "restored\ttime=t\tend\n", 1, 0, "no treatment number"}));

TEST(RecordLine, ValuesWithEveryAwkwardCharacterSurviveALine) {
  const Text awkward = u"%25 \t\r\n\x01\x7F=end 좀비 \\ \"";
  RecordLine line{"x", {}};
  line.Add("v", awkward);
  std::string text = FormatRecordLine(line);
  ASSERT_EQ(text.find('\n'), text.size() - 1);
  text.resize(text.size() - 2);
  RecordLine back;
  ASSERT_EQ(ParseRecordLine(text, back), LineParse::Complete);
  EXPECT_EQ(back.Get("v"), awkward);
}

// Every one of the seal's 64 digits counts: a seal that differs in any one of them, or
// that is cut short, does not pass.
TEST(RecordSeal, EveryDigitOfTheSealIsCompared) {
  const std::string key(32, 'k');
  const std::string sealed = SealRecordLine(key, u"a.exe", FormatRecordLine(BeginLine(1, u"t", u"a.exe", u"k")));
  ASSERT_TRUE(RecordIsSealed(key, u"a.exe", sealed));
  const size_t digits = sealed.find("\tseal=") + 6;
  ASSERT_EQ(sealed.substr(digits + 64), "\tend\r\n");
  for (size_t i = 0; i < 64; ++i) {
    std::string changed = sealed;
    changed[digits + i] = changed[digits + i] == '0' ? '1' : '0';
    EXPECT_FALSE(RecordIsSealed(key, u"a.exe", changed)) << "digit " << i;
  }
  std::string shorter = sealed;
  shorter.erase(digits + 63, 1);
  EXPECT_FALSE(RecordIsSealed(key, u"a.exe", shorter));
  EXPECT_FALSE(RecordIsSealed(key, u"b.exe", sealed));
  EXPECT_FALSE(RecordIsSealed(std::string(32, 'j'), u"a.exe", sealed));
}

}  // namespace
}  // namespace zc::testing
