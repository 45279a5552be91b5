#include "win32/machine/win32_processes.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "core/machine/process_inventory.h"
#include "win32/base/last_error.h"
#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"
#include "win32/base/system_library.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/debug_privilege.h"
#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

// Limited query access is granted to a standard user also on elevated processes, where
// query-and-read access (0x410) is not.
constexpr DWORD kImageQueryAccess = PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kImageNameLength = 32768;  // the longest path the system knows
constexpr DWORD kDeviceNameLength = 260;
constexpr ULONG kExitCode = 16;
constexpr DWORD kEndWaitMs = 5000;  // how long an ended process may take to go

using TerminateByServer = BOOLEAN(WINAPI*)(HANDLE server, ULONG processId, ULONG exitCode);

Text WideUpToNul(const wchar_t* chars, size_t capacity) {
  size_t length = 0;
  while (length < capacity && chars[length] != L'\0') ++length;
  return FromWide(std::wstring_view(chars, length));
}

}  // namespace

Text Win32Processes::ProcessName(uint32_t processId) {
  UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == processId) return WideUpToNul(entry.szExeFile, MAX_PATH);
  }
  return {};
}

std::vector<ProcessEntry> Win32Processes::ListProcesses() {
  UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  std::vector<ProcessEntry> entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    entries.push_back({entry.th32ProcessID, WideUpToNul(entry.szExeFile, MAX_PATH)});
  }
  return entries;
}

Text Win32Processes::ImageFileNameInDeviceForm(uint32_t processId) {
  const UniqueHandle process = OpenProcessAsAdministrator(processId, kImageQueryAccess).process;
  if (!process) return {};
  std::wstring name(kImageNameLength, L'\0');
  DWORD length = kImageNameLength;
  if (!::QueryFullProcessImageNameW(process.get(), PROCESS_NAME_NATIVE, name.data(), &length)) return {};
  return WideUpToNul(name.data(), length);
}

std::vector<Text> Win32Processes::ListDriveRoots() {
  const DWORD needed = ::GetLogicalDriveStringsW(0, nullptr);
  if (needed == 0) return {};
  std::wstring buffer(needed + 1, L'\0');
  const DWORD written = ::GetLogicalDriveStringsW(needed, buffer.data());
  // A drive added between the two calls makes the answer larger than the buffer; the
  // buffer then holds nothing usable.
  if (written == 0 || written > needed) return {};

  std::vector<Text> roots;
  size_t start = 0;
  while (start < written) {
    const size_t end = buffer.find(L'\0', start);
    if (end > start) roots.push_back(FromWide(std::wstring_view(buffer).substr(start, end - start)));
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

Text Win32Processes::WindowsFolder() { return win::WindowsFolder(); }

SystemError Win32Processes::TerminateProcessById(int32_t processId) {
  const DWORD id = static_cast<DWORD>(processId);
  // The handle to wait on is taken first: once the process has gone, its id may be
  // given to another.
  ProcessOpening opening = OpenProcessAsAdministrator(id, PROCESS_TERMINATE | SYNCHRONIZE);
  const UniqueHandle process = std::move(opening.process);
  if (!process) {
    // No such process (any more): nothing left to end.
    return opening.error == SystemError::InvalidParameter ? SystemError::None : opening.error;
  }
  bool asked = false;
  if (!RunningUnderWine()) {
    UniqueModule library = LoadSystemLibrary(L"winsta.dll");
    if (library) {
      const auto terminate = reinterpret_cast<TerminateByServer>(
          reinterpret_cast<void*>(::GetProcAddress(library.get(), "WinStationTerminateProcess")));
      asked = terminate != nullptr && terminate(nullptr, id, kExitCode) != FALSE;
    }
  }
  if (!asked && !::TerminateProcess(process.get(), kExitCode)) {
    const SystemError error = LastError();
    if (::WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) return error;
  }
  switch (::WaitForSingleObject(process.get(), kEndWaitMs)) {
    case WAIT_OBJECT_0: return SystemError::None;
    case WAIT_TIMEOUT: return SystemError::Timeout;
    default: return LastError();
  }
}

}  // namespace zc::win
