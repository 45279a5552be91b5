#include "win32/machine/win32_service_table.h"

#include <windows.h>
#include <tlhelp32.h>
#include <winsvc.h>

#include <cwchar>

#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

Text WideText(const wchar_t* text, size_t capacity) {
  const size_t length = ::wcsnlen(text, capacity);
  return Text(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace

std::optional<std::vector<RunningService>> Win32ServiceTable::ReadRunningServices() {
  UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  if (!manager) return std::nullopt;

  std::vector<RunningService> services;
  std::vector<unsigned char> buffer(64 * 1024);
  DWORD resume = 0;
  for (;;) {
    DWORD needed = 0, returned = 0;
    const BOOL done = ::EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_ACTIVE,
                                              buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &returned,
                                              &resume, nullptr);
    const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    if (!done && error != ERROR_MORE_DATA) return std::nullopt;
    const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
      services.push_back({WideText(entries[i].lpServiceName, 256), entries[i].ServiceStatusProcess.dwProcessId});
    }
    if (done) return services;
    // More to come: the next call goes on from `resume`; make room when not even one
    // entry fitted.
    if (returned == 0) {
      if (needed <= buffer.size()) return std::nullopt;
      buffer.resize(needed);
    }
  }
}

std::optional<std::vector<ProcessEntry>> Win32ServiceTable::ReadProcesses() {
  UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  std::vector<ProcessEntry> processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    processes.push_back({entry.th32ProcessID, WideText(entry.szExeFile, MAX_PATH)});
  }
  return processes;
}

}  // namespace zc::win
