// The connection tables against sockets this test opens, and the service table against
// a service it installs and starts.

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "win32/base/unique_handle.h"
#include "win32/machine/win32_connection_table.h"
#include "win32/machine/running_under_wine.h"
#include "win32/machine/win32_service_table.h"

namespace zc::win {
namespace {

class Socket {
 public:
  Socket(int family, int type) : s_(::socket(family, type, 0)) {}
  ~Socket() {
    if (s_ != INVALID_SOCKET) ::closesocket(s_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return s_; }

 private:
  SOCKET s_;
};

uint16_t BoundPort(const Socket& s) {
  sockaddr_storage address{};
  int length = sizeof(address);
  ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &length);
  return address.ss_family == AF_INET6 ? ::ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port)
                                       : ::ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

bool BindLoopback(const Socket& s, int family) {
  if (family == AF_INET) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    return ::bind(s.get(), reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
  }
  sockaddr_in6 a{};
  a.sin6_family = AF_INET6;
  a.sin6_addr = in6addr_loopback;
  return ::bind(s.get(), reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
}

bool ConnectLoopback(const Socket& s, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  a.sin_port = ::htons(port);
  return ::connect(s.get(), reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
}

const ConnectionRow* FindRow(const std::vector<ConnectionRow>& rows, IpProtocol protocol, bool ipv6,
                             uint16_t localPort, uint16_t remotePort = 0) {
  for (const ConnectionRow& row : rows) {
    if (row.protocol == protocol && row.local.isIpv6 == ipv6 && row.local.port == localPort &&
        (remotePort == 0 || row.remote.port == remotePort)) {
      return &row;
    }
  }
  return nullptr;
}

class Win32TablesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &wsa_), 0); }
  void TearDown() override { ::WSACleanup(); }
  WSADATA wsa_{};
};

TEST_F(Win32TablesTest, ConnectionTablesShowThisProcesssSocketsInEveryFamilyAndState) {
  Socket listener(AF_INET, SOCK_STREAM);
  ASSERT_TRUE(BindLoopback(listener, AF_INET));
  ASSERT_EQ(::listen(listener.get(), 1), 0);
  const uint16_t listenPort = BoundPort(listener);
  Socket client(AF_INET, SOCK_STREAM);
  ASSERT_TRUE(ConnectLoopback(client, listenPort));
  const uint16_t clientPort = BoundPort(client);
  Socket accepted(AF_INET, SOCK_STREAM);
  const SOCKET acceptedSocket = ::accept(listener.get(), nullptr, nullptr);
  ASSERT_NE(acceptedSocket, INVALID_SOCKET);
  Socket udp(AF_INET, SOCK_DGRAM);
  ASSERT_TRUE(BindLoopback(udp, AF_INET));
  Socket listener6(AF_INET6, SOCK_STREAM);
  const bool haveIpv6 = BindLoopback(listener6, AF_INET6) && ::listen(listener6.get(), 1) == 0;
  Socket udp6(AF_INET6, SOCK_DGRAM);
  const bool haveUdp6 = BindLoopback(udp6, AF_INET6);

  // Data through the connection and out of the UDP socket.
  char byte = 'x';
  ASSERT_EQ(::send(client.get(), &byte, 1, 0), 1);
  ASSERT_EQ(::recv(acceptedSocket, &byte, 1, 0), 1);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  to.sin_port = ::htons(BoundPort(udp));
  ASSERT_EQ(::sendto(udp.get(), &byte, 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)), 1);

  const auto rows = Win32ConnectionTable().ReadConnections();
  ::closesocket(acceptedSocket);
  ASSERT_TRUE(rows.has_value());

  const ConnectionRow* listening = FindRow(*rows, IpProtocol::Tcp, false, listenPort);
  ASSERT_NE(listening, nullptr);
  EXPECT_EQ(listening->state, TcpState::Listening);
  EXPECT_EQ(listening->local.address[0], 127);
  const ConnectionRow* outgoing = FindRow(*rows, IpProtocol::Tcp, false, clientPort, listenPort);
  ASSERT_NE(outgoing, nullptr);
  EXPECT_EQ(outgoing->state, TcpState::Established);
  EXPECT_EQ(outgoing->remote.address[0], 127);
  EXPECT_NE(FindRow(*rows, IpProtocol::Tcp, false, listenPort, clientPort), nullptr) << "the accepted side";
  EXPECT_NE(FindRow(*rows, IpProtocol::Udp, false, BoundPort(udp)), nullptr);
  if (haveIpv6) {
    const ConnectionRow* row6 = FindRow(*rows, IpProtocol::Tcp, true, BoundPort(listener6));
    ASSERT_NE(row6, nullptr);
    EXPECT_EQ(row6->local.address[15], 1);  // ::1
    EXPECT_EQ(row6->state, TcpState::Listening);
  }
  if (haveUdp6) {
    EXPECT_NE(FindRow(*rows, IpProtocol::Udp, true, BoundPort(udp6)), nullptr);
  }

  // The rows of this process's own sockets name it as their owner. Wine names the owner
  // only of a socket whose Unix descriptor the process itself holds, which it gets by
  // sending; a socket that has only listened, accepted or received is held by the Wine
  // server alone and shows owner 0.
  const DWORD self = ::GetCurrentProcessId();
  EXPECT_EQ(outgoing->owningProcessId, self);
  EXPECT_EQ(FindRow(*rows, IpProtocol::Udp, false, BoundPort(udp))->owningProcessId, self);
  if (!RunningUnderWine()) {
    EXPECT_EQ(listening->owningProcessId, self);
    EXPECT_EQ(FindRow(*rows, IpProtocol::Tcp, false, listenPort, clientPort)->owningProcessId, self);
  }
}

std::wstring NextToTest(const wchar_t* name) {
  wchar_t own[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  std::wstring path(own, length);
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

TEST(Win32ServiceTable, RunningServiceIsListedWithItsProcessWhoseNameTheSnapshotGives) {
  const std::wstring id = std::to_wstring(::GetCurrentProcessId());
  const std::wstring name = L"ZcTableSvc" + id;
  const std::wstring image = L"C:\\windows\\temp\\zcts" + id + L".exe";
  ASSERT_TRUE(::CopyFileW(NextToTest(L"table_service.exe").c_str(), image.c_str(), FALSE));

  UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  ASSERT_TRUE(manager);
  UniqueServiceHandle service(::CreateServiceW(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                               SERVICE_ERROR_IGNORE, image.c_str(), nullptr, nullptr, nullptr,
                                               nullptr, nullptr));
  ASSERT_TRUE(service) << ::GetLastError();
  const bool started = ::StartServiceW(service.get(), 0, nullptr);

  Win32ServiceTable table;
  uint32_t hostId = 0;
  for (int i = 0; started && i < 50 && hostId == 0; ++i, ::Sleep(100)) {
    const auto services = table.ReadRunningServices();
    ASSERT_TRUE(services.has_value());
    for (const RunningService& s : *services) {
      if (s.name == Text(name.begin(), name.end())) hostId = s.processId;
    }
  }
  const auto processes = table.ReadProcesses();

  SERVICE_STATUS status{};
  ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
  ::DeleteService(service.get());
  service.reset();
  for (int i = 0; i < 50 && !::DeleteFileW(image.c_str()); ++i) ::Sleep(100);

  ASSERT_TRUE(started) << ::GetLastError();
  ASSERT_NE(hostId, 0u) << "the started service is not listed with a process";
  ASSERT_TRUE(processes.has_value());
  const auto host = std::find_if(processes->begin(), processes->end(),
                                 [hostId](const ProcessEntry& p) { return p.id == hostId; });
  ASSERT_NE(host, processes->end());
  const std::wstring imageName = L"zcts" + id + L".exe";
  EXPECT_EQ(host->name, Text(imageName.begin(), imageName.end()));
  const auto self = std::find_if(processes->begin(), processes->end(),
                                 [](const ProcessEntry& p) { return p.id == ::GetCurrentProcessId(); });
  EXPECT_NE(self, processes->end());
}

}  // namespace
}  // namespace zc::win
