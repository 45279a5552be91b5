#include "core/machine/process_inventory.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_processes.h"

namespace zc {
namespace {

Text U(const char* utf8) { return FromUtf8(utf8); }

TEST(TrimAtNulTest, CutsAtTheFirstNul) {
  struct Case { Text in; Text out; };
  const Case cases[] = {
      {u"", u""},
      {u"notepad.exe", u"notepad.exe"},
      {Text(u"\0abc", 4), u""},
      {Text(u"a.exe\0\0junk\0", 12), u"a.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimAtNul(c.in), c.out) << ToUtf8(c.in);
}

TEST(ReplaceDeviceNameTest, Table) {
  const DeviceMap volumes = {
      {u"\\Device\\HarddiskVolume1", u'C'},
      {u"\\Device\\HarddiskVolume10", u'D'},
      {u"\\Device\\HarddiskVolume2", u'Z'},
  };
  struct Case { const char* name; DeviceMap map; Text in; Text out; };
  const Case cases[] = {
      {"first drive", volumes, u"\\Device\\HarddiskVolume1\\Windows\\a.exe", u"C:\\Windows\\a.exe"},
      {"later drive", volumes, u"\\Device\\HarddiskVolume2\\bin\\b.exe", u"Z:\\bin\\b.exe"},
      // Volume 1 comes first but only begins the name of volume 10: volume 10's letter.
      {"prefix device first", volumes, u"\\Device\\HarddiskVolume10\\x.exe", u"D:\\x.exe"},
      {"longer device first",
       {{u"\\Device\\HarddiskVolume10", u'D'}, {u"\\Device\\HarddiskVolume1", u'C'}},
       u"\\Device\\HarddiskVolume10\\x.exe", u"D:\\x.exe"},
      {"volume 10 unmapped", {{u"\\Device\\HarddiskVolume1", u'C'}}, u"\\Device\\HarddiskVolume10\\x.exe",
       u"\\Device\\HarddiskVolume10\\x.exe"},
      {"device name alone", volumes, u"\\Device\\HarddiskVolume2", u"Z:"},
      {"no match keeps device form", volumes, u"\\Device\\Mup\\server\\s.exe",
       u"\\Device\\Mup\\server\\s.exe"},
      {"empty map", {}, u"\\Device\\HarddiskVolume1\\a.exe", u"\\Device\\HarddiskVolume1\\a.exe"},
      // A drive whose device query failed is passed over; later drives are still tried.
      {"empty device name skipped",
       {{u"", u'A'}, {u"\\Device\\HarddiskVolume1", u'C'}},
       u"\\Device\\HarddiskVolume1\\a.exe", u"C:\\a.exe"},
      {"only empty device names", {{u"", u'A'}}, u"\\Device\\HarddiskVolume1\\a.exe",
       u"\\Device\\HarddiskVolume1\\a.exe"},
      {"case-sensitive", volumes, u"\\device\\harddiskvolume1\\a.exe",
       u"\\device\\harddiskvolume1\\a.exe"},
      // Only the leading device name is a drive; the same text further in is a folder.
      {"leading occurrence only", volumes,
       u"\\Device\\HarddiskVolume1\\Device\\HarddiskVolume1\\m.exe", u"C:\\Device\\HarddiskVolume1\\m.exe"},
      {"not at the start", volumes, u"\\x\\Device\\HarddiskVolume1\\m.exe",
       u"\\x\\Device\\HarddiskVolume1\\m.exe"},
      {"non-ASCII path", volumes, U("\\Device\\HarddiskVolume1\\프로그램\\좀비.exe"),
       U("C:\\프로그램\\좀비.exe")},
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(ReplaceDeviceName(c.in, c.map)), ToUtf8(c.out)) << c.name;
}

class ProcessInventoryTest : public ::testing::Test {
 protected:
  fakes::FakeProcesses processes;
  ProcessInventory inventory{processes};
};

TEST_F(ProcessInventoryTest, RefreshKeepsDriveOrderAndDrivesWithoutDevice) {
  processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
  processes.AddDrive(u"E:\\", u"");  // device query failed
  processes.AddDrive(u"Z:\\", u"\\Device\\HarddiskVolume2");
  inventory.RefreshDeviceMap();
  ASSERT_EQ(inventory.deviceMap().size(), 3u);
  EXPECT_EQ(inventory.deviceMap()[0].deviceName, u"\\Device\\HarddiskVolume1");
  EXPECT_EQ(inventory.deviceMap()[0].driveLetter, u'C');
  EXPECT_EQ(inventory.deviceMap()[1].deviceName, u"");
  EXPECT_EQ(inventory.deviceMap()[1].driveLetter, u'E');
  EXPECT_EQ(inventory.deviceMap()[2].driveLetter, u'Z');

  // Rebuilt from scratch, not appended to.
  processes.drives.clear();
  processes.AddDrive(u"D:\\", u"\\Device\\HarddiskVolume3");
  inventory.RefreshDeviceMap();
  ASSERT_EQ(inventory.deviceMap().size(), 1u);
  EXPECT_EQ(inventory.deviceMap()[0].driveLetter, u'D');
}

TEST_F(ProcessInventoryTest, NamesAndPathsByProcessId) {
  processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
  processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
  processes.AddProcess(0, u"[System Process]", u"", false);
  processes.AddProcess(600, u"csrss.exe", u"\\Device\\HarddiskVolume1\\csrss.exe", false);
  processes.AddProcess(700, u"gone.exe", u"\\Device\\HarddiskVolume1\\gone.exe");
  processes.EndProcess(700);
  inventory.RefreshDeviceMap();

  struct Case { uint32_t id; Text name; Text path; };
  const Case cases[] = {
      {4120, u"evil.exe", u"C:\\Temp\\evil.exe"},
      {0, u"[System Process]", u""},
      {600, u"csrss.exe", u""},  // protected: named, but cannot be opened
      {700, u"", u""},           // ended
  };
  for (const Case& c : cases) {
    EXPECT_EQ(inventory.GetProcessName(c.id), c.name) << c.id;
    EXPECT_EQ(inventory.GetProcessImagePath(c.id), c.path) << c.id;
  }
}

TEST_F(ProcessInventoryTest, PathBeforeAnyRefreshStaysInDeviceForm) {
  processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
  processes.AddProcess(9, u"a.exe", u"\\Device\\HarddiskVolume1\\a.exe");
  EXPECT_EQ(inventory.GetProcessImagePath(9), u"\\Device\\HarddiskVolume1\\a.exe");
}

}  // namespace
}  // namespace zc
