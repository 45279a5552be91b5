#include "win32/machine/win32_connection_owner.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>

#include "win32/base/ansi.h"
#include "win32/machine/growing_table.h"

namespace zc::win {
namespace {

constexpr DWORD kFirstOwnerRoom = 1024;
constexpr DWORD kLargestOwner = 64 * 1024;  // two names of at most 32767 characters

std::optional<std::vector<unsigned char>> OwnerModuleTable(ULONG family) {
  return ReadGrowingTable([family](void* data, DWORD* size) {
    return ::GetExtendedTcpTable(data, size, FALSE, family, TCP_TABLE_OWNER_MODULE_ALL, 0);
  });
}

Text WideText(const wchar_t* chars) {
  if (chars == nullptr) return {};
  return FromWide(std::wstring_view(chars, ::wcsnlen(chars, kLargestOwner / sizeof(wchar_t))));
}

// The owner of one row through `ask(row, class, buffer, &size)`; nothing when the system
// does not tell it.
template <typename Row, typename Ask>
std::optional<Text> ServiceOwning(Row row, Ask ask) {
  // The buffer holds the two pointers and the texts they point at.
  std::vector<ULONG64> buffer(kFirstOwnerRoom / sizeof(ULONG64));
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(ULONG64));
    const DWORD result = ask(&row, TCPIP_OWNER_MODULE_INFO_BASIC, buffer.data(), &size);
    if (result == ERROR_INSUFFICIENT_BUFFER && size > buffer.size() * sizeof(ULONG64) && size <= kLargestOwner) {
      buffer.resize((size + sizeof(ULONG64) - 1) / sizeof(ULONG64));
      continue;
    }
    if (result != NO_ERROR) return std::nullopt;
    const auto* owner = reinterpret_cast<const TCPIP_OWNER_MODULE_BASIC_INFO*>(buffer.data());
    const Text name = WideText(owner->pModuleName);
    const Text path = WideText(owner->pModulePath);
    if (!OwnerModuleIsService(name, path)) return std::nullopt;
    return name;
  }
  return std::nullopt;
}

void AddOnce(std::vector<Text>& names, Text name) {
  const Text folded = FoldCase(name);
  const bool known =
      std::any_of(names.begin(), names.end(), [&](const Text& other) { return FoldCase(other) == folded; });
  if (!known) names.push_back(std::move(name));
}

void AddServicesOfV4(const std::vector<unsigned char>& buffer, uint32_t processId, std::vector<Text>& names) {
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_MODULE*>(buffer.data());
  const size_t room = (buffer.size() - offsetof(MIB_TCPTABLE_OWNER_MODULE, table)) / sizeof(MIB_TCPROW_OWNER_MODULE);
  const size_t rows = std::min<size_t>(table->dwNumEntries, room);
  for (size_t i = 0; i < rows; ++i) {
    if (table->table[i].dwOwningPid != processId) continue;
    if (std::optional<Text> name = ServiceOwning(table->table[i], ::GetOwnerModuleFromTcpEntry)) {
      AddOnce(names, std::move(*name));
    }
  }
}

void AddServicesOfV6(const std::vector<unsigned char>& buffer, uint32_t processId, std::vector<Text>& names) {
  const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_MODULE*>(buffer.data());
  const size_t room =
      (buffer.size() - offsetof(MIB_TCP6TABLE_OWNER_MODULE, table)) / sizeof(MIB_TCP6ROW_OWNER_MODULE);
  const size_t rows = std::min<size_t>(table->dwNumEntries, room);
  for (size_t i = 0; i < rows; ++i) {
    if (table->table[i].dwOwningPid != processId) continue;
    if (std::optional<Text> name = ServiceOwning(table->table[i], ::GetOwnerModuleFromTcp6Entry)) {
      AddOnce(names, std::move(*name));
    }
  }
}

}  // namespace

bool OwnerModuleIsService(TextView moduleName, TextView modulePath) {
  if (moduleName.empty()) return false;
  // A service name holds no separator; the system's rows read "System" in both fields.
  if (moduleName.find_first_of(u"\\/") != TextView::npos) return false;
  if (FoldCase(moduleName) == u"system" && FoldCase(modulePath) == u"system") return false;
  // The program's own rows name its image file, and the path ends with that file.
  const size_t slash = modulePath.find_last_of(u"\\/");
  if (slash == TextView::npos) return true;
  return FoldCase(modulePath.substr(slash + 1)) != FoldCase(moduleName);
}

std::optional<std::vector<Text>> Win32ConnectionOwner::ServicesOwningConnections(uint32_t processId) {
  const auto v4 = OwnerModuleTable(AF_INET);
  if (!v4) return std::nullopt;
  std::vector<Text> names;
  AddServicesOfV4(*v4, processId, names);
  if (const auto v6 = OwnerModuleTable(AF_INET6)) AddServicesOfV6(*v6, processId, names);
  return names;
}

}  // namespace zc::win
