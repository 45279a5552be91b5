#include "win32/machine/win32_process_details.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

using testing::EndsWithin;
using testing::PathNextToTest;
using testing::TemporaryFolder;

struct WideChild {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts a wide command line hidden in `folder` (none: the test's own folder).
WideChild StartWide(const std::wstring& commandLine, const std::wstring& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  std::wstring line = commandLine;
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    return {};
  }
  ::CloseHandle(started.hThread);
  WideChild child;
  child.process.reset(started.hProcess);
  child.id = started.dwProcessId;
  return child;
}

void End(const WideChild& child) {
  ::TerminateProcess(child.process.get(), 0);
  ASSERT_TRUE(EndsWithin(child.process.get(), 5000));
}

std::wstring ChildPath() { return ToWide(FromAnsi(PathNextToTest("machine_child.exe"))); }

// A freshly started process fills in what it was started with as it starts: asks again
// for a while until there is an answer.
template <typename Answer>
Answer Eventually(const std::function<Answer()>& ask) {
  Answer answer = ask();
  for (int attempt = 0; attempt < 100 && !answer; ++attempt) {
    ::Sleep(50);
    answer = ask();
  }
  return answer;
}

bool Holds(const std::vector<Text>& paths, TextView wanted) {
  return std::any_of(paths.begin(), paths.end(), [&](const Text& path) { return FoldCase(path) == FoldCase(wanted); });
}

TEST(Win32ProcessDetailsTest, AChildsCommandLineAndCurrentFolderReadBackAsStarted) {
  TemporaryFolder temporary;
  const std::wstring base = ToWide(FromAnsi(temporary.path()));
  const std::wstring unicodeFolder = base + L"\\작업 \U0001F600 folder";
  ASSERT_TRUE(::CreateDirectoryW(unicodeFolder.c_str(), nullptr));
  const std::wstring quotedChild = L"\"" + ChildPath() + L"\"";
  const std::wstring longArgument(3000, L'x');

  struct Case {
    const char* what;
    std::wstring arguments;
    std::wstring folder;      // as given to the start
    std::wstring readFolder;  // as read back
  };
  const Case cases[] = {
      {"plain", L" sleep 20000", base, base},
      {"given with a trailing separator", L" sleep 20000 a", base + L"\\", base},
      {"characters outside the ANSI code page", L" sleep 20000 \"인자 \U0001F600\"", unicodeFolder, unicodeFolder},
      {"a drive root keeps its separator", L" sleep 20000", L"C:\\", L"C:\\"},
      {"a command line of thousands of characters", L" sleep 20000 " + longArgument, base, base},
  };
  Win32ProcessDetails details;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring commandLine = quotedChild + c.arguments;
    WideChild child = StartWide(commandLine, c.folder);
    ASSERT_TRUE(child.process);

    using Both = std::optional<std::pair<Text, Text>>;
    const Both read = Eventually<Both>([&]() -> Both {
      std::optional<Text> line = details.CommandLine(child.id);
      std::optional<Text> folder = details.CurrentFolder(child.id);
      if (!line || !folder) return std::nullopt;
      return std::make_pair(*line, *folder);
    });
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->first, FromWide(commandLine));
    EXPECT_EQ(FoldCase(read->second), FoldCase(FromWide(c.readFolder))) << ToUtf8(read->second);
    End(child);
  }
}

TEST(Win32ProcessDetailsTest, OwnProcessReadsAsItsOwnCallsSeeIt) {
  Win32ProcessDetails details;
  const DWORD own = ::GetCurrentProcessId();
  EXPECT_EQ(details.CommandLine(own), FromWide(::GetCommandLineW()));

  wchar_t folder[MAX_PATH] = {};
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, folder);
  ASSERT_GT(length, 0u);
  Text expected = FromWide(std::wstring_view(folder, length));
  if (expected.size() > 3 && expected.back() == u'\\') expected.pop_back();
  EXPECT_EQ(details.CurrentFolder(own), expected);

  const std::optional<std::vector<Text>> modules = details.LoadedModules(own);
  ASSERT_TRUE(modules.has_value());
  wchar_t image[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, image, MAX_PATH), 0u);
  EXPECT_TRUE(Holds(*modules, FromWide(image)));
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  ASSERT_GT(::GetModuleFileNameW(kernel, image, MAX_PATH), 0u);
  EXPECT_TRUE(Holds(*modules, FromWide(image)));
}

TEST(Win32ProcessDetailsTest, AChildsModulesHoldTheLibraryItLoadedUnderItsFullPath) {
  TemporaryFolder temporary;
  const std::wstring base = ToWide(FromAnsi(temporary.path()));
  // A folder past the classic path limit, reached only in the "\\?\" form.
  std::wstring deep = base;
  for (int level = 0; level < 6; ++level) {
    deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + level));
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
  }
  const std::wstring library = ToWide(FromAnsi(PathNextToTest("zc_planted_library.dll")));

  struct Case {
    const char* what;
    std::wstring copy;  // where the library is put and loaded from
    std::wstring load;  // how the child names it
  };
  const Case cases[] = {
      {"a folder with a blank", base + L"\\bot folder\\payload.dll", base + L"\\bot folder\\payload.dll"},
      {"a path past the classic limit", deep + L"\\payload.dll", L"\\\\?\\" + deep + L"\\payload.dll"},
  };
  ASSERT_TRUE(::CreateDirectoryW((base + L"\\bot folder").c_str(), nullptr));
  Win32ProcessDetails details;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(::CopyFileW(library.c_str(), (L"\\\\?\\" + c.copy).c_str(), FALSE));
    WideChild child = StartWide(L"\"" + ChildPath() + L"\" load \"" + c.load + L"\" 20000", L"");
    ASSERT_TRUE(child.process);

    const Text wanted = FromWide(c.copy);
    const std::optional<std::vector<Text>> modules = Eventually<std::optional<std::vector<Text>>>([&] {
      std::optional<std::vector<Text>> read = details.LoadedModules(child.id);
      return read && Holds(*read, wanted) ? read : std::nullopt;
    });
    ASSERT_TRUE(modules.has_value()) << "the library never showed in the child's modules";
    EXPECT_TRUE(Holds(*modules, FromWide(ChildPath())));
    for (const Text& path : *modules) {
      EXPECT_EQ(path.rfind(u"\\\\?\\", 0), Text::npos) << ToUtf8(path);
      EXPECT_TRUE(path.size() > 3 && path[1] == u':' && path[2] == u'\\') << ToUtf8(path);
    }
    EXPECT_NE(details.CriticalState(child.id), Criticality::Critical);
    End(child);
  }
}

TEST(Win32ProcessDetailsTest, TheSystemsProcessesAreCriticalAndNeverRead) {
  Win32ProcessDetails details;
  for (uint32_t id : {0u, 4u}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(details.CriticalState(id), Criticality::Critical);
    EXPECT_FALSE(details.CommandLine(id).has_value());
    EXPECT_FALSE(details.CurrentFolder(id).has_value());
    EXPECT_FALSE(details.LoadedModules(id).has_value());
  }
  // Our own process is an ordinary one, whatever the system can answer of it.
  EXPECT_NE(details.CriticalState(::GetCurrentProcessId()), Criticality::Critical);
}

TEST(Win32ProcessDetailsTest, AProcessThatIsNotThereIsNotReadAndNotKnownToBeSafe) {
  Win32ProcessDetails details;
  // Process ids are multiples of four and far below this.
  constexpr uint32_t kMissing = 0xFFFFFFF0u;
  EXPECT_EQ(details.CriticalState(kMissing), Criticality::Unknown);
  EXPECT_FALSE(details.CommandLine(kMissing).has_value());
  EXPECT_FALSE(details.CurrentFolder(kMissing).has_value());
  EXPECT_FALSE(details.LoadedModules(kMissing).has_value());
}

TEST(Win32ProcessDetailsTest, LongPathPrefixesOfModulePathsAreTakenOff) {
  const struct {
    const char16_t* given;
    const char16_t* read;
  } cases[] = {
      {u"\\\\?\\C:\\x\\payload.dll", u"C:\\x\\payload.dll"},
      {u"\\\\?\\UNC\\server\\share\\payload.dll", u"\\\\server\\share\\payload.dll"},
      {u"\\\\?\\unc\\server\\share\\payload.dll", u"\\\\server\\share\\payload.dll"},
      {u"C:\\x\\payload.dll", u"C:\\x\\payload.dll"},
      {u"\\\\server\\share\\payload.dll", u"\\\\server\\share\\payload.dll"},
      // No drive-letter form exists for a volume name.
      {u"\\\\?\\Volume{0f1e2d3c-0000-0000-0000-000000000000}\\payload.dll",
       u"\\\\?\\Volume{0f1e2d3c-0000-0000-0000-000000000000}\\payload.dll"},
      {u"\\\\?\\", u"\\\\?\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutLongPathPrefix(c.given), c.read) << ToUtf8(c.given);
}

}  // namespace
}  // namespace zc::win
