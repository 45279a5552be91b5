#include "win32/machine/win32_processes.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "core/machine/process_inventory.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

constexpr DWORD kQueryAndReadAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410
constexpr DWORD kImageNameLength = 260;
constexpr DWORD kDeviceNameLength = 260;
constexpr ULONG kExitCode = 16;

using TerminateByServer = BOOLEAN(WINAPI*)(HANDLE server, ULONG processId, ULONG exitCode);

Text AnsiUpToNul(const char* chars, size_t capacity) {
  return FromAnsi(std::string_view(chars, ::strnlen(chars, capacity)));
}

void TerminateDirectly(DWORD processId) {
  UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  if (process) ::TerminateProcess(process.get(), kExitCode);
}

}  // namespace

Text Win32Processes::ProcessName(uint32_t processId) {
  UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
       more = ::Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == processId) {
      return AnsiUpToNul(entry.szExeFile, sizeof(entry.szExeFile));
    }
  }
  return {};
}

std::vector<ProcessEntry> Win32Processes::ListProcesses() {
  UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  std::vector<ProcessEntry> entries;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
       more = ::Process32Next(snapshot.get(), &entry)) {
    entries.push_back({entry.th32ProcessID, AnsiUpToNul(entry.szExeFile, sizeof(entry.szExeFile))});
  }
  return entries;
}

Text Win32Processes::ImageFileNameInDeviceForm(uint32_t processId) {
  UniqueHandle process(::OpenProcess(kQueryAndReadAccess, FALSE, processId));
  if (!process) return {};
  char name[kImageNameLength + 1] = {};
  const DWORD length = ::GetProcessImageFileNameA(process.get(), name, kImageNameLength);
  if (length == 0) return {};
  return AnsiUpToNul(name, length < kImageNameLength ? length : kImageNameLength);
}

std::vector<Text> Win32Processes::ListDriveRoots() {
  const DWORD needed = ::GetLogicalDriveStringsA(0, nullptr);
  if (needed == 0) return {};
  std::string buffer(needed + 1, '\0');
  const DWORD written = ::GetLogicalDriveStringsA(needed, buffer.data());
  // A drive added between the two calls makes the answer larger than the buffer; the
  // buffer then holds nothing usable.
  if (written == 0 || written > needed) return {};

  std::vector<Text> roots;
  size_t start = 0;
  while (start < written) {
    const size_t end = buffer.find('\0', start);
    if (end > start) roots.push_back(FromAnsi(std::string_view(buffer).substr(start, end - start)));
    start = end + 1;
  }
  return roots;
}

Text Win32Processes::QueryDeviceName(TextView root) {
  Text name(root);
  if (name.size() > 1 && name.back() == u'\\') name.pop_back();
  wchar_t target[kDeviceNameLength] = {};
  const DWORD stored = ::QueryDosDeviceW(ToWide(name).c_str(), target, kDeviceNameLength);
  if (stored < 3) return {};
  // The answer lists every target, each ended by a NUL, and one more NUL; the drive's
  // device is the first of them.
  return TrimAtNul(FromWide(std::wstring_view(target, stored - 2)));
}

Text Win32Processes::WindowsFolder() {
  // The system's own Windows folder, also where a terminal server gives each user a
  // private one.
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  Text text = FromWide(std::wstring_view(folder, length));
  while (text.size() > 3 && text.back() == u'\\') text.pop_back();
  return text;
}

void Win32Processes::TerminateProcessById(int32_t processId) {
  const DWORD id = static_cast<DWORD>(processId);
  if (!RunningUnderWine()) {
    UniqueModule library(::LoadLibraryA("winsta.dll"));
    if (library) {
      const auto terminate = reinterpret_cast<TerminateByServer>(
          reinterpret_cast<void*>(::GetProcAddress(library.get(), "WinStationTerminateProcess")));
      if (terminate) {
        terminate(nullptr, id, kExitCode);  // local server; the answer is not looked at
        return;
      }
    }
  }
  TerminateDirectly(id);
}

}  // namespace zc::win
