#include "win32/machine/win32_connection_table.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>

#include "win32/machine/growing_table.h"

namespace zc::win {
namespace {

std::optional<std::vector<unsigned char>> TcpTable(ULONG family) {
  return ReadGrowingTable([family](void* data, DWORD* size) {
    return ::GetExtendedTcpTable(data, size, TRUE, family, TCP_TABLE_OWNER_PID_ALL, 0);
  });
}

std::optional<std::vector<unsigned char>> UdpTable(ULONG family) {
  return ReadGrowingTable([family](void* data, DWORD* size) {
    return ::GetExtendedUdpTable(data, size, TRUE, family, UDP_TABLE_OWNER_PID, 0);
  });
}

// Ports sit in network order in the low 16 bits.
uint16_t PortOf(DWORD networkPort) { return ::ntohs(static_cast<u_short>(networkPort & 0xFFFF)); }

IpEndpoint V4(DWORD networkAddress, DWORD networkPort) {
  IpEndpoint e;
  std::memcpy(e.address.data(), &networkAddress, 4);
  e.port = PortOf(networkPort);
  return e;
}

IpEndpoint V6(const UCHAR (&address)[16], DWORD scopeId, DWORD networkPort) {
  IpEndpoint e;
  e.isIpv6 = true;
  std::memcpy(e.address.data(), address, 16);
  e.scopeId = scopeId;
  e.port = PortOf(networkPort);
  return e;
}

void AddTcp4(const std::vector<unsigned char>& buffer, std::vector<ConnectionRow>& rows) {
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& r = table->table[i];
    rows.push_back({IpProtocol::Tcp, V4(r.dwLocalAddr, r.dwLocalPort), V4(r.dwRemoteAddr, r.dwRemotePort),
                    static_cast<TcpState>(r.dwState), r.dwOwningPid});
  }
}

void AddTcp6(const std::vector<unsigned char>& buffer, std::vector<ConnectionRow>& rows) {
  const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCP6ROW_OWNER_PID& r = table->table[i];
    rows.push_back({IpProtocol::Tcp, V6(r.ucLocalAddr, r.dwLocalScopeId, r.dwLocalPort),
                    V6(r.ucRemoteAddr, r.dwRemoteScopeId, r.dwRemotePort), static_cast<TcpState>(r.dwState),
                    r.dwOwningPid});
  }
}

void AddUdp4(const std::vector<unsigned char>& buffer, std::vector<ConnectionRow>& rows) {
  const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_UDPROW_OWNER_PID& r = table->table[i];
    rows.push_back({IpProtocol::Udp, V4(r.dwLocalAddr, r.dwLocalPort), {}, TcpState::Closed, r.dwOwningPid});
  }
}

void AddUdp6(const std::vector<unsigned char>& buffer, std::vector<ConnectionRow>& rows) {
  const auto* table = reinterpret_cast<const MIB_UDP6TABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_UDP6ROW_OWNER_PID& r = table->table[i];
    rows.push_back(
        {IpProtocol::Udp, V6(r.ucLocalAddr, r.dwLocalScopeId, r.dwLocalPort), {}, TcpState::Closed, r.dwOwningPid});
  }
}

}  // namespace

std::optional<std::vector<ConnectionRow>> Win32ConnectionTable::ReadConnections() {
  const auto tcp4 = TcpTable(AF_INET);
  const auto udp4 = UdpTable(AF_INET);
  if (!tcp4 || !udp4) return std::nullopt;
  std::vector<ConnectionRow> rows;
  AddTcp4(*tcp4, rows);
  if (const auto tcp6 = TcpTable(AF_INET6)) AddTcp6(*tcp6, rows);
  AddUdp4(*udp4, rows);
  if (const auto udp6 = UdpTable(AF_INET6)) AddUdp6(*udp6, rows);
  return rows;
}

}  // namespace zc::win
