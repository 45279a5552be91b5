// The start through the running shell: the program runs, and it is the shell's child,
// never the caller's (so it gets the shell's token, not an elevated caller's). Under Wine
// every process is elevated, so only the route can be checked here, not the token.

#include "win32/desktop/desktop_shell_start.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

std::wstring TemporaryPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The parent of every running process with this image name.
std::wstring ParentsOf(const wchar_t* image) {
  std::wstring parents;
  UniqueAny<FileHandleTraits> snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, image) == 0) parents += std::to_wstring(entry.th32ParentProcessID) + L" ";
  }
  return parents;
}

TEST(DesktopShellStart, TheShellStartsTheProgramNotTheCaller) {
  const std::wstring marker = TemporaryPath(L"zc-shell-start-marker.txt");
  ::DeleteFileW(marker.c_str());
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
  // The command lives a few seconds after writing the marker, so its parent can be read.
  const std::wstring arguments = L"/c echo started> \"" + marker + L"\" & ping -n 4 127.0.0.1 >nul";

  ASSERT_EQ(StartThroughDesktopShell(cmd, arguments, system), S_OK);
  for (int i = 0; i < 200 && !Exists(marker); ++i) ::Sleep(100);
  ASSERT_TRUE(Exists(marker)) << "the shell did not start the program";
  const std::wstring parents = ParentsOf(L"cmd.exe");
  EXPECT_EQ(parents.find(std::to_wstring(::GetCurrentProcessId()) + L" "), std::wstring::npos)
      << "a cmd.exe is this process's child: " << parents.c_str();
  for (int i = 0; i < 100 && !::DeleteFileW(marker.c_str()) && Exists(marker); ++i) ::Sleep(100);
}

}  // namespace
}  // namespace zc::win
