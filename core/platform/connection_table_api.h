#pragma once
// The system's own tables of TCP connections and UDP endpoints, IPv4 and IPv6, each row
// with the id of the process that owns it.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zc {

enum class IpProtocol { Tcp, Udp };

// The TCP states in the numbering the system's tables use (1 = closed ... 12 = delete TCB).
enum class TcpState : uint32_t {
  Closed = 1,
  Listening = 2,
  SynSent = 3,
  SynReceived = 4,
  Established = 5,
  FinWait1 = 6,
  FinWait2 = 7,
  CloseWait = 8,
  Closing = 9,
  LastAck = 10,
  TimeWait = 11,
  DeleteTcb = 12,
};

// An address with its port in host order. An IPv4 address fills the first four bytes.
struct IpEndpoint {
  bool isIpv6 = false;
  std::array<uint8_t, 16> address{};
  uint32_t scopeId = 0;  // IPv6 only; 0 when the address has no scope
  uint16_t port = 0;
};

struct ConnectionRow {
  IpProtocol protocol = IpProtocol::Tcp;
  IpEndpoint local;
  IpEndpoint remote;  // unused for UDP
  TcpState state = TcpState::Closed;  // unused for UDP
  uint32_t owningProcessId = 0;
};

class ConnectionTableApi {
 public:
  virtual ~ConnectionTableApi() = default;

  // Every row of the tables in the order the listing shows them: TCP over IPv4, TCP over
  // IPv6, UDP over IPv4, UDP over IPv6, each sorted by local endpoint. Empty optional
  // when the tables cannot be read.
  virtual std::optional<std::vector<ConnectionRow>> ReadConnections() = 0;
};

}  // namespace zc
