#include <gtest/gtest.h>

#include "core/machine/registry_values.h"

#include "core/engine/registry_infection_check.h"
#include "core/engine/service_check.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHkcu;
using testing::kHklm;

class ServiceCheckTest : public ::testing::Test {
 protected:
  void SetImage(TextView service, TextView value) {
    w.registry.SetText(kHklm, w.T(enc::ServiceCheckKeyPrefix) + Text(service), w.T(enc::ServiceImageValueName), value,
                       2);
  }
  EngineWorld w;
  ServiceCheck check{w.texts, w.definitions, w.registry, w.results, w.rowBuffer};
};

TEST_F(ServiceCheckTest, NameRules) {
  struct Case {
    const char16_t* service;
    const char16_t* value;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"", u"C:\\x\\unnamed.exe", u"이름이 없는 서비스"},
      {u"EvilSvc", u"C:\\Windows\\system32\\evil.exe", u"evil.exe"},
      {u"BareSvc", u"evil.exe", u"BareSvc"},
      {u"DirSvc", u"C:\\Windows\\", u"DirSvc"},
  };
  w.definitions.ServiceNameList.clear();
  for (const Case& c : cases) {
    SetImage(c.service, c.value);
    w.definitions.ServiceNameList.push_back(c.service);
  }
  check.Run();
  ASSERT_EQ(w.results.rows.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(w.results.rows[i], (RowBuffer{cases[i].name, u"None", cases[i].value, cases[i].service,
                                            u"service Hide", u"", u""}));
  }
  EXPECT_EQ(check.ReportedServices().text(), u"|||EvilSvc||BareSvc||DirSvc|");
}

TEST_F(ServiceCheckTest, AMissingServiceIsProbedAgainOnTheNextRun) {
  w.definitions.ServiceNameList = {u"Gone"};
  check.Run();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(check.ReportedServices().text(), u"");
  SetImage(u"Gone", u"C:\\back\\again.exe");
  check.Run();
  EXPECT_EQ(w.results.rows.size(), 1u);
}

TEST_F(ServiceCheckTest, ReportedOnceIgnoringLetterCaseUntilCleared) {
  SetImage(u"EvilSvc", u"C:\\e.exe");
  SetImage(u"Other", u"C:\\o.exe");
  w.definitions.ServiceNameList = {u"EvilSvc", u"Other", u"EVILSVC"};
  check.Run();
  check.Run();
  ASSERT_EQ(w.results.rows.size(), 2u);
  EXPECT_EQ(w.results.rows[0][kColumnDetail], u"EvilSvc");
  EXPECT_EQ(w.results.rows[1][kColumnDetail], u"Other");
  check.ClearReported();
  check.Run();
  EXPECT_EQ(w.results.rows.size(), 4u);
}

class RegistryInfectionCheckTest : public ::testing::Test {
 protected:
  void SetRun(int32_t root, TextView entry, TextView value) {
    w.registry.SetText(root, w.T(enc::InfectionKeyPath), entry, value);
  }
  EngineWorld w;
  RegistryInfectionCheck check{w.texts, w.definitions, w.registry, w.results, w.rowBuffer};
};

TEST_F(RegistryInfectionCheckTest, AnEntryUnderBothRootsGivesTwoRowsFlagOneFirst) {
  SetRun(kHklm, u"Updater", u"C:\\Program Files\\up\\up.exe /silent");
  SetRun(kHkcu, u"Updater", u"C:\\Users\\me\\up.exe");
  w.definitions.RegistryEntryList = {u"Updater"};
  check.Run();
  ASSERT_EQ(w.results.rows.size(), 2u);
  EXPECT_EQ(w.results.rows[0], (RowBuffer{u"up.exe", u"None", u"C:\\Users\\me\\up.exe", u"N/A", u"reg Infection",
                                          u"Updater", u"1"}));
  EXPECT_EQ(w.results.rows[1], (RowBuffer{u"up.exe /silent", u"None", u"C:\\Program Files\\up\\up.exe /silent",
                                          u"N/A", u"reg Infection", u"Updater", u"2"}));
  EXPECT_EQ(check.ReportedRegistryEntries().text(), u"|Updater||Updater|");
  check.Run();
  EXPECT_EQ(w.results.rows.size(), 2u);
}

TEST_F(RegistryInfectionCheckTest, EntriesFoundNowhereAreLookedForAgain) {
  w.definitions.RegistryEntryList = {u"Ghost", u"Plain"};
  SetRun(kHklm, u"Plain", u"plain.exe");  // no "\": the entry is the name
  check.Run();
  ASSERT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(w.results.rows[0][kColumnName], u"Plain");
  EXPECT_EQ(w.results.rows[0][kColumnFlag], u"2");
  const int reads = w.registry.readCalls;
  check.Run();
  // Ghost again under both roots (the machine's in both views), Plain not at all.
  EXPECT_EQ(w.registry.readCalls, reads + 3);
}

// A 32-bit program's value lies in the 32-bit view of the machine's key: it is a Finding
// of its own, flagged with that view. The user's key is one for both views.
TEST_F(RegistryInfectionCheckTest, TheMachinesKeyIsReadInBothViews) {
  w.definitions.RegistryEntryList = {u"Updater"};
  const Text key = w.T(enc::InfectionKeyPath);
  w.registry.SetText(kHklm, Wow32KeyPath(kHklm, key), u"Updater", u"C:\\x86\\upd32.exe");
  w.registry.SetText(kHklm, key, u"Updater", u"C:\\x64\\upd64.exe");
  w.registry.SetText(kHkcu, key, u"Updater", u"C:\\user\\upd.exe");
  check.Run();
  ASSERT_EQ(w.results.rows.size(), 3u);
  EXPECT_EQ(w.results.rows[0][kColumnPath], u"C:\\user\\upd.exe");
  EXPECT_EQ(w.results.rows[0][kColumnFlag], u"1");
  EXPECT_EQ(w.results.rows[1][kColumnPath], u"C:\\x64\\upd64.exe");
  EXPECT_EQ(w.results.rows[1][kColumnFlag], u"2");
  EXPECT_EQ(w.results.rows[2][kColumnPath], u"C:\\x86\\upd32.exe");
  EXPECT_EQ(w.results.rows[2][kColumnFlag], u"3");
  EXPECT_EQ(w.results.rows[2][kColumnName], u"upd32.exe");
  EXPECT_EQ(Wow32KeyPath(kHklm, key), u"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(Wow32KeyPath(kHkcu, key), key);
  EXPECT_EQ(Wow32KeyPath(kHklm, u"SYSTEM\\CurrentControlSet\\Services\\x"), u"SYSTEM\\CurrentControlSet\\Services\\x");
}

TEST_F(RegistryInfectionCheckTest, AnEmptyEntryReadsTheDefaultValue) {
  SetRun(kHkcu, u"", u"C:\\x\\default.exe");
  w.definitions.RegistryEntryList = {u"", u"A"};
  check.Run();
  ASSERT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(w.results.rows[0][kColumnEntryName], u"");
  EXPECT_EQ(w.results.rows[0][kColumnName], u"default.exe");
}

TEST_F(RegistryInfectionCheckTest, TheReportedEntryTestIgnoresLetterCase) {
  SetRun(kHkcu, u"Updater", u"C:\\u.exe");
  w.definitions.RegistryEntryList = {u"Updater", u"UPDATER"};
  check.Run();
  EXPECT_EQ(w.results.rows.size(), 1u);
  check.ClearReported();
  check.Run();
  EXPECT_EQ(w.results.rows.size(), 2u);
}

}  // namespace
}  // namespace zc
