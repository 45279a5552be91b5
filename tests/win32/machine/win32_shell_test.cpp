#include "win32/machine/win32_shell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/machine/process_termination.h"
#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/machine/win32_processes.h"

#include <shellapi.h>  // after windows.h

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

// The open command of the http scheme, pointed at a program of the test's own for the
// test's length; the earlier command comes back afterwards.
class BrowserStandIn {
 public:
  explicit BrowserStandIn(const std::string& program) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
      return;
    key_.reset(key);
    char old[1024] = {};
    DWORD size = sizeof(old) - 1;
    hadValue_ = ::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == 0;
    old_ = old;
    const std::string command = "\"" + program + "\" \"%1\"";
    ok_ = ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1)) == 0;
  }
  ~BrowserStandIn() {
    if (!key_) return;
    if (hadValue_) {
      ::RegSetValueExA(key_.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                       static_cast<DWORD>(old_.size() + 1));
    } else {
      ::RegDeleteValueA(key_.get(), nullptr);
    }
  }
  BrowserStandIn(const BrowserStandIn&) = delete;
  BrowserStandIn& operator=(const BrowserStandIn&) = delete;
  bool ok() const { return ok_; }

 private:
  static constexpr const char* kKey = "http\\shell\\open\\command";
  UniqueKey key_;
  bool hadValue_ = false;
  bool ok_ = false;
  std::string old_;
};

std::vector<std::wstring> Arguments(const std::string& commandLine) {
  int count = 0;
  LPWSTR* parts = ::CommandLineToArgvW(ToWide(FromAnsi(commandLine)).c_str(), &count);
  std::vector<std::wstring> arguments(parts, parts + count);
  ::LocalFree(parts);
  return arguments;
}

TEST(Win32ShellTest, AWebAddressReachesTheBrowserAsOneArgument) {
  TemporaryFolder folder;
  const std::string browser = folder / "zc_browser.exe";
  ASSERT_TRUE(::CopyFileA(testing::PathNextToTest("zc_planted_tool.exe").c_str(), browser.c_str(), FALSE));
  BrowserStandIn standIn(browser);
  ASSERT_TRUE(standIn.ok());

  const Text address = u"http://zombie.example/a?b=c&d=e#f";
  Win32Shell shell;
  ASSERT_TRUE(shell.OpenWebAddress(address));
  std::string seen;
  for (int i = 0; i < 100 && seen.empty(); ++i) {
    ::Sleep(50);
    seen = ReadFileText(browser + ".ran");
  }
  const std::vector<std::wstring> arguments = Arguments(seen);
  ASSERT_EQ(arguments.size(), 2u) << seen;
  EXPECT_EQ(arguments[1], ToWide(address));
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
