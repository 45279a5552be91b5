#include "win32/machine/win32_processes.h"

#include <gtest/gtest.h>

#include "core/machine/process_inventory.h"
#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using testing::ChildCommand;
using testing::EndsWithin;
using testing::PathNextToTest;
using testing::StartHidden;

TEST(Win32ProcessesTest, DrivesHaveRootsAndDeviceNames) {
  Win32Processes processes;
  const std::vector<Text> roots = processes.ListDriveRoots();
  ASSERT_FALSE(roots.empty());
  bool sawC = false;
  for (const Text& root : roots) {
    EXPECT_EQ(root.size(), 3u) << ToUtf8(root);
    if (root == u"C:\\") sawC = true;
  }
  EXPECT_TRUE(sawC);
  const Text device = processes.QueryDeviceName(u"C:\\");
  EXPECT_EQ(device.rfind(u"\\Device\\", 0), 0u) << ToUtf8(device);
  EXPECT_EQ(device.find(u'\0'), Text::npos);
  EXPECT_EQ(processes.QueryDeviceName(u"C:"), device);
  EXPECT_EQ(processes.QueryDeviceName(u"no such device"), u"");
}

TEST(Win32ProcessesTest, NameAndDriveLetterPathOfARunningChild) {
  auto child = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(child.process);

  Win32Processes processes;
  EXPECT_EQ(processes.ProcessName(child.id), u"machine_child.exe");
  const Text devicePath = processes.ImageFileNameInDeviceForm(child.id);
  EXPECT_EQ(devicePath.rfind(u"\\Device\\", 0), 0u) << ToUtf8(devicePath);

  ProcessInventory inventory(processes);
  inventory.RefreshDeviceMap();
  EXPECT_EQ(inventory.deviceMap().size(), processes.ListDriveRoots().size());
  EXPECT_EQ(FoldCase(inventory.GetProcessImagePath(child.id)),
            FoldCase(FromAnsi(PathNextToTest("machine_child.exe"))));
  EXPECT_EQ(inventory.GetProcessName(child.id), u"machine_child.exe");

  ::TerminateProcess(child.process.get(), 0);
  ASSERT_TRUE(EndsWithin(child.process.get(), 5000));
}

TEST(Win32ProcessesTest, OneSnapshotListsEveryProcessWithItsName) {
  auto first = StartHidden(ChildCommand("sleep 20000"));
  auto second = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(first.process && second.process);

  Win32Processes processes;
  const std::vector<ProcessEntry> entries = processes.ListProcesses();
  int children = 0;
  bool sawOwn = false;
  for (const ProcessEntry& entry : entries) {
    if (entry.id == first.id || entry.id == second.id) {
      EXPECT_EQ(entry.name, u"machine_child.exe");
      ++children;
    }
    if (entry.id == ::GetCurrentProcessId()) sawOwn = true;
    EXPECT_EQ(entry.name.find(u'\0'), Text::npos);
  }
  EXPECT_EQ(children, 2);
  EXPECT_TRUE(sawOwn);

  ::TerminateProcess(first.process.get(), 0);
  ::TerminateProcess(second.process.get(), 0);
  ASSERT_TRUE(EndsWithin(first.process.get(), 5000));
  ASSERT_TRUE(EndsWithin(second.process.get(), 5000));
}

TEST(Win32ProcessesTest, TheWindowsFolderHoldsTheSystemFolder) {
  Win32Processes processes;
  const Text windows = processes.WindowsFolder();
  ASSERT_GE(windows.size(), 4u) << ToUtf8(windows);
  EXPECT_EQ(windows[1], u':');
  EXPECT_NE(windows.back(), u'\\');
  char system[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
  EXPECT_EQ(FoldCase(FromAnsi(system)).rfind(FoldCase(windows) + u"\\", 0), 0u) << system;
}

TEST(Win32ProcessesTest, AnEndedProcessGivesEmptyTexts) {
  auto child = StartHidden(ChildCommand("exit"));
  ASSERT_TRUE(child.process);
  ASSERT_TRUE(EndsWithin(child.process.get(), 5000));
  const DWORD id = child.id;
  child.process.reset();
  // Wine lets the process object outlive the last handle for a moment.
  for (int i = 0; i < 100; ++i) {
    UniqueHandle still(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!still) break;
    ::Sleep(50);
  }

  Win32Processes processes;
  ProcessInventory inventory(processes);
  inventory.RefreshDeviceMap();
  EXPECT_EQ(inventory.GetProcessName(id), u"");
  EXPECT_EQ(inventory.GetProcessImagePath(id), u"");
}

TEST(Win32ProcessesTest, TerminateProcessByIdEndsItWithExitCode16) {
  auto child = StartHidden(ChildCommand("sleep 20000"));
  ASSERT_TRUE(child.process);
  Win32Processes processes;
  processes.TerminateProcessById(static_cast<int32_t>(child.id));
  ASSERT_TRUE(EndsWithin(child.process.get(), 5000));
  DWORD code = 0;
  ::GetExitCodeProcess(child.process.get(), &code);
  EXPECT_EQ(code, 16u);

  // An id that has ended returns normally.
  processes.TerminateProcessById(static_cast<int32_t>(child.id));
  processes.TerminateProcessById(-1);
}

}  // namespace
}  // namespace zc::win
