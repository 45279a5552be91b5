// The system's tools and libraries come from the system folders only: copies of the same
// names planted beside the executable or in the current folder are never used.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/machine/child_process.h"
#include "tests/win32/base/ansi_of.h"
#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"
#include "win32/base/system_library.h"
#include "win32/machine/system_program.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_shell.h"

namespace zc::win {
namespace {

using testing::PathNextToTest;
using testing::TemporaryFolder;

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Copies of a file under other names, removed again (with the marker a started copy
// leaves) at the end, also when the test fails.
class PlantedCopies {
 public:
  PlantedCopies(const std::string& source, std::vector<std::string> paths) : paths_(std::move(paths)) {
    for (const std::string& path : paths_) {
      Remove(path);
      ok_ = ::CopyFileA(source.c_str(), path.c_str(), FALSE) && ok_;
    }
  }
  ~PlantedCopies() {
    for (const std::string& path : paths_) Remove(path);
  }
  PlantedCopies(const PlantedCopies&) = delete;
  PlantedCopies& operator=(const PlantedCopies&) = delete;
  bool ok() const { return ok_; }
  // The copies that were started or loaded.
  std::vector<std::string> Used() const {
    std::vector<std::string> used;
    for (const std::string& path : paths_) {
      if (FileExists(path + ".ran")) used.push_back(path);
    }
    return used;
  }

 private:
  static void Remove(const std::string& path) {
    ::DeleteFileA(path.c_str());
    ::DeleteFileA((path + ".ran").c_str());
  }
  std::vector<std::string> paths_;
  bool ok_ = true;
};

class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    previous_ = previous;
    ::SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { ::SetCurrentDirectoryA(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::string previous_;
};

Text InSystemFolders(const char16_t* name) {
  const Text inSystem = SystemFolder() + u"\\" + name;
  if (FileExists(AnsiOf(inSystem))) return inSystem;
  return WindowsFolder() + u"\\" + name;
}

TEST(SystemProgramTest, TheProgramOfACommandLine) {
  ASSERT_FALSE(SystemFolder().empty());
  ASSERT_FALSE(WindowsFolder().empty());
  struct Case { const char16_t* command; Text program; };
  const Case cases[] = {
      {u"netstat -ano", SystemFolder() + u"\\netstat.exe"},
      {u"tasklist /svc", SystemFolder() + u"\\tasklist.exe"},
      {u"sc query \"ZcSvc\"", SystemFolder() + u"\\sc.exe"},
      {u"taskkill /f /pid \"1234\"", SystemFolder() + u"\\taskkill.exe"},
      {u"explorer \"C:\\zc backup\\a.exe\"", InSystemFolders(u"explorer.exe")},
      {u"explorer.exe", InSystemFolders(u"explorer.exe")},
      {u"\"C:\\Program Files\\zc\\tool.exe\" /x", u"C:\\Program Files\\zc\\tool.exe"},
      {u"C:\\zc\\tool.exe /x", u"C:\\zc\\tool.exe"},
      {u"\\\\server\\share\\tool.exe", u"\\\\server\\share\\tool.exe"},
      // Nothing that the folders or the search path would have to supply.
      {u"zc_no_such_tool_4711 /x", u""},
      {u"tools\\netstat.exe -ano", u""},
      {u".\\netstat.exe -ano", u""},
      {u"C:netstat.exe", u""},
      {u"\"netstat -ano", u""},
      {u"\"\" -ano", u""},
      {u" netstat -ano", u""},
      {u"..", u""},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(SystemProgramFor(c.command), c.program) << AnsiOf(c.command);
}

TEST(SystemToolsTest, PlantedToolsBesideTheProgramOrInTheCurrentFolderNeverRun) {
  TemporaryFolder current;
  std::vector<std::string> places;
  for (const char* tool : {"netstat.exe", "tasklist.exe", "sc.exe", "taskkill.exe", "explorer.exe"}) {
    places.push_back(PathNextToTest(tool));
    places.push_back(current / tool);
  }
  PlantedCopies planted(PathNextToTest("zc_planted_tool.exe"), places);
  ASSERT_TRUE(planted.ok());
  CurrentFolder inside(current.path());

  Win32Console console;
  const Text listing = console.RunCapture(u"netstat -ano");
  EXPECT_EQ(listing.find(u"planted"), Text::npos);
  EXPECT_EQ(console.RunCapture(u"tasklist /svc").find(u"planted"), Text::npos);
  console.RunCapture(u"sc query \"zc_no_such_service\"");

  Win32Shell shell;
  // No process has this id: the real taskkill ends nothing.
  EXPECT_TRUE(shell.Launch(u"taskkill /f /pid \"4000000\"", WindowState::Hidden));
  EXPECT_TRUE(shell.Launch(u"sc query \"zc_no_such_service\"", WindowState::Hidden));
  ::Sleep(2000);  // a planted copy started without waiting has left its marker by now
  EXPECT_EQ(planted.Used(), std::vector<std::string>{});
}

TEST(SystemToolsTest, LibrariesLoadFromTheSystemFolderOnly) {
  const std::string besideTest = PathNextToTest("zc_planted_library.dll");
  ASSERT_TRUE(FileExists(besideTest));
  ::DeleteFileA((besideTest + ".ran").c_str());
  PlantedCopies planted(besideTest, {PathNextToTest("winsta.dll")});
  ASSERT_TRUE(planted.ok());
  {
    UniqueModule library = LoadSystemLibrary(L"winsta.dll");
    ASSERT_TRUE(library);
    wchar_t loaded[MAX_PATH] = {};
    ::GetModuleFileNameW(library.get(), loaded, MAX_PATH);
    EXPECT_EQ(AnsiOf(FromWide(loaded)), AnsiOf(SystemFolder() + u"\\winsta.dll"));

    // A library that lies only beside the executable is not found at all.
    UniqueModule besideOnly = LoadSystemLibrary(L"zc_planted_library.dll");
    EXPECT_FALSE(besideOnly);
    EXPECT_FALSE(LoadSystemLibrary(L"..\\machine\\zc_planted_library.dll"));
  }
  EXPECT_EQ(planted.Used(), std::vector<std::string>{});
  EXPECT_FALSE(FileExists(besideTest + ".ran"));
}

}  // namespace
}  // namespace zc::win
