#include "win32/machine/win32_shell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/machine/process_termination.h"
#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/machine/win32_processes.h"

namespace zc::win {
namespace {

using testing::ChildCommand;
using testing::EndsWithin;
using testing::StartHidden;
using testing::TemporaryFolder;

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Win32ShellTest, StartsWithTheWindowStateAndDoesNotWait) {
  TemporaryFolder folder;
  Win32Shell shell;
  struct Case { WindowState state; const char* seen; };
  const Case cases[] = {
      {WindowState::Hidden, "1 0"},            // STARTF_USESHOWWINDOW, SW_HIDE
      {WindowState::NormalFocused, "1 1"},     // SW_SHOWNORMAL
      {WindowState::MinimizedFocused, "1 2"},  // SW_SHOWMINIMIZED
  };
  for (const Case& c : cases) {
    const std::string file = folder / ("state" + std::to_string(static_cast<int>(c.state)));
    ASSERT_TRUE(shell.Launch(FromAnsi(ChildCommand("showstate \"" + file + "\"")), c.state));
    for (int i = 0; i < 100 && ReadFileText(file).empty(); ++i) ::Sleep(50);
    EXPECT_EQ(ReadFileText(file), c.seen);
  }

  // The program writes its answer only after ten seconds: a launch that waited would
  // find it there.
  const std::string late = folder / "late";
  ASSERT_TRUE(shell.Launch(FromAnsi(ChildCommand("showstate \"" + late + "\" 10000")),
                           WindowState::Hidden));
  EXPECT_EQ(::GetFileAttributesA(late.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32ShellTest, AMissingProgramIsNotStarted) {
  Win32Shell shell;
  EXPECT_FALSE(shell.Launch(u"zc_no_such_program_4711.exe", WindowState::Hidden));
}

// taskkill ends every process with the image name; a copy of the helper with a name of
// its own keeps the test from touching anything else.
TEST(TaskkillTest, EndsEveryProcessWithTheImageName) {
  TemporaryFolder folder;
  const std::string target = folder / "zc_kill_target.exe";
  ASSERT_TRUE(::CopyFileA(testing::PathNextToTest("machine_child.exe").c_str(), target.c_str(), FALSE));
  auto first = StartHidden("\"" + target + "\" sleep 30000");
  auto second = StartHidden("\"" + target + "\" sleep 30000");
  ASSERT_TRUE(first.process);
  ASSERT_TRUE(second.process);

  Win32Shell shell;
  KillByImageName(shell, u"zc_kill_target.exe");
  EXPECT_TRUE(EndsWithin(first.process.get(), 10000));
  EXPECT_TRUE(EndsWithin(second.process.get(), 10000));
}

TEST(TaskkillTest, EndsTheProcessWithTheId) {
  auto child = StartHidden(ChildCommand("sleep 30000"));
  auto bystander = StartHidden(ChildCommand("sleep 30000"));
  ASSERT_TRUE(child.process);
  ASSERT_TRUE(bystander.process);

  Win32Shell shell;
  KillByProcessId(shell, DecimalText(child.id));
  EXPECT_TRUE(EndsWithin(child.process.get(), 10000));
  EXPECT_FALSE(EndsWithin(bystander.process.get(), 0));

  // An injected quote starts nothing, so the bystander lives on.
  KillByProcessId(shell, DecimalText(child.id) + u"\" /pid \"" + DecimalText(bystander.id));
  EXPECT_FALSE(EndsWithin(bystander.process.get(), 1500));
  ::TerminateProcess(bystander.process.get(), 0);
}

}  // namespace
}  // namespace zc::win
