#include "win32/machine/win32_process_details.h"

#include "win32/machine/running_under_wine.h"

#include <windows.h>
#include <psapi.h>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/debug_privilege.h"
#include "win32/machine/ntdll_process_queries.h"

namespace zc::win {
namespace {

constexpr DWORD kLimitedQuery = PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kModulePathLength = 32768;  // the longest path the system knows
constexpr DWORD kFirstModuleRoom = 512;
constexpr DWORD kMostModules = 65536;  // a larger claim is damage

// The system's idle process and the system process: never opened, never ended.
bool IsSystemProcessId(uint32_t processId) { return processId == 0 || processId == 4; }

using IsCriticalFunction = BOOL(WINAPI*)(HANDLE process, BOOL* critical);

IsCriticalFunction IsProcessCriticalExport() {
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<IsCriticalFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "IsProcessCritical")));
}

UniqueHandle Open(uint32_t processId, DWORD access) {
  if (IsSystemProcessId(processId)) return {};
  return OpenProcessAsAdministrator(processId, access).process;
}

std::optional<ProcessParametersBlock> ParametersOf(uint32_t processId) {
  UniqueHandle process = Open(processId, kQueryAndRead);
  if (!process) return std::nullopt;
  return ReadProcessParametersBlock(process.get());
}

std::optional<std::vector<HMODULE>> ModuleHandles(HANDLE process) {
  std::vector<HMODULE> modules(kFirstModuleRoom);
  // Modules loaded between two calls make the list longer: ask again with more room.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD room = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    DWORD needed = 0;
    if (!::EnumProcessModulesEx(process, modules.data(), room, &needed, LIST_MODULES_ALL)) return std::nullopt;
    const size_t count = needed / sizeof(HMODULE);
    if (needed <= room) {
      modules.resize(count);
      return modules;
    }
    if (count > kMostModules) return std::nullopt;
    modules.resize(count + 64);
  }
  return std::nullopt;
}

}  // namespace

Text WithoutLongPathPrefix(TextView path) {
  constexpr TextView kUncPrefix = u"\\\\?\\UNC\\";
  constexpr TextView kPrefix = u"\\\\?\\";
  if (path.size() > kUncPrefix.size() && FoldCase(path.substr(0, kUncPrefix.size())) == u"\\\\?\\unc\\") {
    return Text(u"\\\\") + Text(path.substr(kUncPrefix.size()));
  }
  // Only a drive path loses its prefix: "\\?\Volume{...}\x" has no other form.
  if (path.size() > kPrefix.size() + 2 && path.substr(0, kPrefix.size()) == kPrefix &&
      path[kPrefix.size() + 1] == u':') {
    return Text(path.substr(kPrefix.size()));
  }
  return Text(path);
}

std::optional<Text> Win32ProcessDetails::CommandLine(uint32_t processId) {
  if (UniqueHandle limited = Open(processId, kLimitedQuery)) {
    if (std::optional<Text> line = QueryCommandLine(limited.get())) return line;
  }
  std::optional<ProcessParametersBlock> block = ParametersOf(processId);
  if (!block) return std::nullopt;
  return std::move(block->commandLine);
}

std::optional<Text> Win32ProcessDetails::CurrentFolder(uint32_t processId) {
  std::optional<ProcessParametersBlock> block = ParametersOf(processId);
  if (!block || block->currentFolder.empty()) return std::nullopt;
  return FolderWithoutTrailingSeparator(block->currentFolder);
}

std::optional<std::vector<Text>> Win32ProcessDetails::LoadedModules(uint32_t processId) {
  UniqueHandle process = Open(processId, kQueryAndRead);
  if (!process) return std::nullopt;
  const std::optional<std::vector<HMODULE>> modules = ModuleHandles(process.get());
  if (!modules) return std::nullopt;
  std::vector<Text> paths;
  paths.reserve(modules->size());
  std::wstring path(kModulePathLength, L'\0');
  for (HMODULE module : *modules) {
    // A module unloaded since the list was taken has no name any more: it is not loaded.
    const DWORD length = ::GetModuleFileNameExW(process.get(), module, path.data(), kModulePathLength);
    if (length == 0 || length >= kModulePathLength) continue;
    paths.push_back(WithoutLongPathPrefix(FromWide(std::wstring_view(path.data(), length))));
  }
  if (paths.empty()) return std::nullopt;  // not even the image: the list was not read
  return paths;
}

Criticality Win32ProcessDetails::CriticalState(uint32_t processId) {
  if (IsSystemProcessId(processId)) return Criticality::Critical;
  UniqueHandle limited = Open(processId, kLimitedQuery);
  if (limited) {
    if (const IsCriticalFunction isCritical = IsProcessCriticalExport()) {
      BOOL critical = FALSE;
      if (isCritical(limited.get(), &critical)) return critical ? Criticality::Critical : Criticality::NotCritical;
    }
    bool accessDenied = false;
    if (const std::optional<bool> flag = QueryBreakOnTermination(limited.get(), accessDenied)) {
      return *flag ? Criticality::Critical : Criticality::NotCritical;
    }
    // Wine has no critical processes at all: it neither exports the first call nor
    // answers the second, and no process there stops the system when it ends. On
    // Windows an unanswered question means "not known to be safe".
    if (!accessDenied) return RunningUnderWine() ? Criticality::NotCritical : Criticality::Unknown;
  }
  // Windows 7 answers this class only to a handle with full query access.
  UniqueHandle full = Open(processId, PROCESS_QUERY_INFORMATION);
  if (!full) return Criticality::Unknown;
  bool accessDenied = false;
  if (const std::optional<bool> flag = QueryBreakOnTermination(full.get(), accessDenied)) {
    return *flag ? Criticality::Critical : Criticality::NotCritical;
  }
  return Criticality::Unknown;
}

}  // namespace zc::win
