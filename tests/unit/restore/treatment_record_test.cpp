// The treatment record: what the recorder writes reads back as the same steps, lines
// cut short by a crash are passed over, and anything else unreadable is a fault.

#include <gtest/gtest.h>

#include <string>

#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"
#include "core/restore/service_setting_lines.h"
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
      ServiceDeleteStep{SampleService(), true},
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
        ReaderCase{"no treatment number", kBegin + "restored\ttime=t\tend\n", 1, 0, "no treatment number"},
        ReaderCase{"this format", "begin\ttreatment=1\tname=a\tformat=2\tend\n" + kValue, 1, 1, ""},
        ReaderCase{"a later format", "begin\ttreatment=1\tname=a\tformat=3\tend\n" + kValue, 0, 0, "later format (3)"},
        ReaderCase{"a format that is no number", "begin\ttreatment=1\tname=a\tformat=2b\tend\n", 0, 0, "no readable format"},
        ReaderCase{"a view beside a WOW6432Node key",
                   kBegin + "registry-value\ttreatment=1\troot=0x80000002\tkey=Software\\WOW6432Node\\Run\tvalue=v\t"
                            "type=3\tdata=00\tview=32\tend\n",
                   1, 0, "names WOW6432Node beside a view"},
        ReaderCase{"a view that is neither", kBegin + "registry-value\ttreatment=1\troot=0x80000002\tkey=Software\\Run\t"
                                                      "value=v\ttype=3\tdata=00\tview=16\tend\n",
                   1, 0, "view is neither"},
        ReaderCase{"a setting no version knows", kBegin + "service-setting\ttreatment=1\tservice=s\tsetting=colour\tend\n", 1, 0,
                   "not a known setting"},
        ReaderCase{"a trigger subtype that is no GUID",
                   kBegin + "service-setting\ttreatment=1\tservice=s\tsetting=trigger\ttype=1\taction=1\tsubtype=00ff\tend\n", 1,
                   0, "subtype is not 16 bytes"},
        ReaderCase{"a failure action without its delay",
                   kBegin + "service-setting\ttreatment=1\tservice=s\tsetting=failure-actions\treset=0\treboot=\t"
                            "command=\taction=1\tend\n",
                   1, 0, "action is not a number"}));

// Each kind of entry the record gained reads back as the step it was written from.
TEST(TreatmentRecord, ViewsUsersQueuedDeletionsAndServicePartsReadBackExactly) {
  ServiceSettings every;
  every.failureActions = ServiceFailureActions{86400, u"다시 시작합니다", u"C:\\fix.cmd /x", {{1, 60000}, {0, 0}, {3, 5}}};
  every.failureActionsOnNonCrash = true;
  every.delayedAutoStart = false;
  every.requiredPrivileges = std::vector<Text>{u"SeChangeNotifyPrivilege", u"SeImpersonatePrivilege"};
  every.sidType = 1;
  every.preshutdownTimeoutMs = 180000;
  every.securityDescriptor = std::vector<uint8_t>{1, 0, 4, 0x80, 0x14, 0, 0, 0};
  ServiceTrigger trigger{1, 1, std::vector<uint8_t>(16, 0xA5), {{1, {'a', 0, 0, 0}}, {4, {}}}};
  std::vector<TreatmentStep> steps = {
      RegistryValueStep{kLocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"v", {1, {'x', 0}},
                        RegistryView::Wow32, {}},
      RegistryValueStep{kCurrentUser, u"Software\\Run", u"v", {4, {1, 0, 0, 0}}, RegistryView::Native,
                        u"S-1-5-21-1-2-3-1001"},
      PendingDeletionStep{u"\\??\\C:\\좀비\\a.exe", false},
      PendingDeletionStep{u"\\??\\C:\\좀비\\a.exe", true},
      ServiceValueStep{u"ZcSvc", u"Parameters", u"ServiceDll", {2, {'%', 0, 'x', 0, 0, 0}}},
      ServiceValueStep{u"ZcSvc", u"Parameters\\Inner", u"", {3, {}}},
      ServiceGroupStep{u"ZcSvc", u"zcgroup"},
      ServiceSettingStep{u"ZcSvc", {}},
  };
  every.triggers = std::vector<ServiceTrigger>{trigger, trigger};
  // One entry a part, and each trigger one of its own.
  ASSERT_EQ(ServiceSettingFields(every).size(), 9u);
  ServiceSettings merged;
  for (const RecordLine& part : ServiceSettingFields(every)) {
    RecordLine line = StepLine(1, ServiceSettingStep{u"ZcSvc", {}});
    line.fields.insert(line.fields.end(), part.fields.begin(), part.fields.end());
    std::string text = FormatRecordLine(line);
    text.resize(text.size() - 2);
    RecordLine parsed;
    ASSERT_EQ(ParseRecordLine(text, parsed), LineParse::Complete) << text;
    StepParse back = StepFromLine(parsed);
    ASSERT_TRUE(std::holds_alternative<TreatmentStep>(back)) << text << " " << std::get<std::string>(back);
    MergeServiceSettings(merged, std::get<ServiceSettingStep>(std::get<TreatmentStep>(back)).settings);
  }
  EXPECT_EQ(merged, every);

  steps.pop_back();
  for (const TreatmentStep& step : steps) {
    std::string text = FormatRecordLine(StepLine(1, step));
    text.resize(text.size() - 2);
    RecordLine parsed;
    ASSERT_EQ(ParseRecordLine(text, parsed), LineParse::Complete) << text;
    const StepParse back = StepFromLine(parsed);
    ASSERT_TRUE(std::holds_alternative<TreatmentStep>(back)) << text << " " << std::get<std::string>(back);
    EXPECT_EQ(std::get<TreatmentStep>(back), step) << text;
  }
}

TEST(TreatmentRecord, AValueOfTheFirstFormatNamedByItsWow6432NodeKeyReadsAsThe32BitView) {
  struct Case {
    const char* root;
    const char* key;
    const char16_t* logical;
    RegistryView view;
  };
  const Case cases[] = {
      {"0x80000002", "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
       u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", RegistryView::Wow32},
      {"0x80000002", "SOFTWARE\\wow6432node\\Run", u"SOFTWARE\\Run", RegistryView::Wow32},
      {"0x80000002", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
       RegistryView::Native},
      {"0x80000002", "Software\\WOW6432NodeX\\Run", u"Software\\WOW6432NodeX\\Run", RegistryView::Native},
      // HKCU has one branch for both views: the name is only a name there.
      {"0x80000001", "Software\\WOW6432Node\\Run", u"Software\\WOW6432Node\\Run", RegistryView::Native},
  };
  for (const Case& c : cases) {
    const RecordReading reading = ReadTreatmentRecord(kBegin + "registry-value\ttreatment=1\troot=" + c.root + "\tkey=" +
                                                      c.key + "\tvalue=v\ttype=3\tdata=00\tend\n");
    ASSERT_TRUE(reading.faults.empty()) << c.key;
    const auto& value = std::get<RegistryValueStep>(reading.treatments.at(0).steps.at(0));
    EXPECT_EQ(value.keyPath, c.logical) << c.key;
    EXPECT_EQ(value.view, c.view) << c.key;
    EXPECT_EQ(reading.treatments[0].format, 1) << c.key;
  }
}

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
