// The connection and service listings written from the system's tables: their lines,
// the endpoints' text, and that the scan's reading rules find in them what they find in
// the console tools' text.

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "core/engine/connection_listing_writer.h"
#include "core/engine/endpoint_text.h"
#include "core/engine/listing_rules.h"
#include "core/engine/service_listing_writer.h"

namespace zc {
namespace {

IpEndpoint V4(std::initializer_list<uint8_t> bytes, uint16_t port) {
  IpEndpoint e;
  std::copy(bytes.begin(), bytes.end(), e.address.begin());
  e.port = port;
  return e;
}

IpEndpoint V6(std::initializer_list<uint16_t> groups, uint16_t port, uint32_t scope = 0) {
  IpEndpoint e;
  e.isIpv6 = true;
  size_t i = 0;
  for (uint16_t g : groups) {
    e.address[i++] = static_cast<uint8_t>(g >> 8);
    e.address[i++] = static_cast<uint8_t>(g & 0xFF);
  }
  e.scopeId = scope;
  e.port = port;
  return e;
}

ConnectionRow Tcp(IpEndpoint local, IpEndpoint remote, TcpState state, uint32_t owner) {
  return {IpProtocol::Tcp, local, remote, state, owner};
}
ConnectionRow Udp(IpEndpoint local, uint32_t owner) { return {IpProtocol::Udp, local, {}, TcpState::Closed, owner}; }

Text Lines(std::initializer_list<TextView> lines) {
  Text text;
  for (TextView line : lines) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

// The rows behind kConnectionLines, line for line.
std::vector<ConnectionRow> FixtureRows() {
  return {
      Tcp(V4({0, 0, 0, 0}, 135), V4({0, 0, 0, 0}, 1234), TcpState::Listening, 4),
      Tcp(V4({10, 0, 0, 5}, 49702), V4({203, 0, 113, 9}, 443), TcpState::Established, 4120),
      Tcp(V6({0, 0, 0, 0, 0, 0, 0, 1}, 135), V6({}, 0), TcpState::Listening, 1234567),
      Tcp(V6({0xfe80, 0, 0, 0, 0x1c2d, 0x3e4f, 0x5a6b, 0x7c8d}, 49670, 12),
          V6({0xfe80, 0, 0, 0, 0xa, 0, 0, 1}, 445, 12), TcpState::TimeWait, 0),
      Tcp(V4({127, 0, 0, 1}, 5939), V4({127, 0, 0, 1}, 49688), TcpState::CloseWait, 768),
      Udp(V4({0, 0, 0, 0}, 500), 12),
      Udp(V6({}, 500), 123456),
      Udp(V4({127, 0, 0, 1}, 1900), 98765),
  };
}

const std::initializer_list<TextView> kConnectionLines = {
    u"  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING       4",
    u"  TCP    10.0.0.5:49702         203.0.113.9:443        ESTABLISHED     4120",
    u"  TCP    [::1]:135              [::]:0                 LISTENING       1234567",
    u"  TCP    [fe80::1c2d:3e4f:5a6b:7c8d%12]:49670 [fe80::a:0:0:1%12]:445 TIME_WAIT       0",
    u"  TCP    127.0.0.1:5939         127.0.0.1:49688        CLOSE_WAIT      768",
    u"  UDP    0.0.0.0:500            *:*                                    12",
    u"  UDP    [::]:500               *:*                                    123456",
    u"  UDP    127.0.0.1:1900         *:*                                    98765",
};

TEST(ConnectionListingWriter, WritesEachRowInTheConsoleLayout) {
  const std::vector<ConnectionRow> rows = FixtureRows();
  ASSERT_EQ(rows.size(), kConnectionLines.size());
  size_t i = 0;
  for (TextView expected : kConnectionLines) {
    EXPECT_EQ(ToUtf8(ConnectionListingLine(rows[i])), ToUtf8(expected)) << "row " << i;
    ++i;
  }
}

TEST(ConnectionListingWriter, ListingIsTitleColumnsThenOneCrLfLinePerRow) {
  const Text listing = WriteConnectionListing(FixtureRows(), u"Title", u"  Proto  Columns");
  EXPECT_EQ(listing, u"\r\nTitle\r\n\r\n  Proto  Columns\r\n" + Lines(kConnectionLines));
  EXPECT_EQ(WriteConnectionListing({}, u"T", u"C"), u"\r\nT\r\n\r\nC\r\n");
}

TEST(ConnectionListingWriter, EveryTcpStateHasItsConsoleName) {
  const std::pair<uint32_t, TextView> cases[] = {
      {1, u"CLOSED"},      {2, u"LISTENING"},  {3, u"SYN_SENT"},   {4, u"SYN_RECEIVED"}, {5, u"ESTABLISHED"},
      {6, u"FIN_WAIT_1"},  {7, u"FIN_WAIT_2"}, {8, u"CLOSE_WAIT"}, {9, u"CLOSING"},      {10, u"LAST_ACK"},
      {11, u"TIME_WAIT"},  {12, u"DELETE_TCB"}, {0, u"UNKNOWN"},   {13, u"UNKNOWN"}};
  for (const auto& [number, name] : cases) {
    EXPECT_EQ(Text(TcpStateText(static_cast<TcpState>(number))), Text(name)) << number;
  }
}

TEST(EndpointText, WritesAddressesAsTheListingDoes) {
  const std::pair<IpEndpoint, TextView> cases[] = {
      {V4({192, 168, 0, 255}, 65535), u"192.168.0.255:65535"},
      {V6({}, 0), u"[::]:0"},
      {V6({0, 0, 0, 0, 0, 0, 0, 1}, 135), u"[::1]:135"},
      {V6({1, 0, 0, 0, 0, 0, 0, 0}, 80), u"[1::]:80"},
      {V6({0xfe80, 0, 0, 0, 0x1c2d, 0x3e4f, 0x5a6b, 0x7c8d}, 5, 12), u"[fe80::1c2d:3e4f:5a6b:7c8d%12]:5"},
      {V6({0x2001, 0xdb8, 0, 0, 1, 0, 0, 1}, 1), u"[2001:db8::1:0:0:1]:1"},     // first of equal runs
      {V6({0x2001, 0, 0, 1, 0, 0, 0, 1}, 1), u"[2001:0:0:1::1]:1"},            // the longest run
      {V6({0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}, 1), u"[2001:db8:0:1:1:1:1:1]:1"},  // one zero group stays
      {V6({0xABCD, 0x0F00, 0, 0, 0, 0, 0, 0x00A0}, 1), u"[abcd:f00::a0]:1"},
      {V6({0, 0, 0, 0, 0, 0xffff, 0x0a00, 0x0005}, 80), u"[::ffff:10.0.0.5]:80"},
  };
  for (const auto& [endpoint, expected] : cases) {
    EXPECT_EQ(ToUtf8(EndpointText(endpoint)), ToUtf8(expected));
  }
}

const ServiceListingTexts kServiceTexts{u"Image Name  PID Services", u"===== === ===", u"N/A"};

TEST(ServiceListingWriter, WritesOneLinePerProcessWithItsServicesWrappedAtTheColumn) {
  const std::vector<ProcessEntry> processes = {
      {0, u"[System Process]"}, {4, u"System"},        {836, u"svchost.exe"},
      {712, u"lsass.exe"},      {1234567, u"notepad.exe"}, {23, u"AVeryLongExecutableNameThatIsCut.exe"},
      {7, u"ztest.exe"}};
  const std::vector<RunningService> services = {
      {u"BrokerInfrastructure", 836}, {u"DcomLaunch", 836}, {u"KeyIso", 712},   {u"PlugPlay", 836},
      {u"Power", 836},                {u"SamSs", 712},      {u"Gone", 999},     {u"SystemEventsBroker", 836},
      {u"VaultSvc", 712},             {u"ASingleServiceWhoseNameIsLongerThanTheColumnItself", 7}, {u"Tail", 7}};
  const Text listing = WriteServiceListing(processes, services, kServiceTexts);
  EXPECT_EQ(ToUtf8(listing), ToUtf8(u"\r\nImage Name  PID Services\r\n===== === ===\r\n" +
                                    Lines({
                                        u"System Idle Process              0 N/A",
                                        u"System                           4 N/A",
                                        u"svchost.exe                    836 BrokerInfrastructure, DcomLaunch, PlugPlay,",
                                        u"                                   Power, SystemEventsBroker",
                                        u"lsass.exe                      712 KeyIso, SamSs, VaultSvc",
                                        u"notepad.exe                1234567 N/A",
                                        u"AVeryLongExecutableNameTh       23 N/A",
                                        u"ztest.exe                        7 ASingleServiceWhoseNameIsLongerThanTheColumnItself,",
                                        u"                                   Tail",
                                    })));
}

// What the console tools print for the same machine (header lines of a Korean system).
const Text kConsoleConnections = u"\r\n활성 연결\r\n\r\n  프로토콜  로컬 주소              외부 주소              상태            PID\r\n" +
                                 Lines(kConnectionLines);
const Text kConsoleServices = Lines({
    u"",
    u"이미지 이름                    PID 서비스",
    u"========================= ======== ============================================",
    u"System Idle Process              0 N/A",
    u"System                           4 N/A",
    u"svchost.exe                   4120 BrokerInfrastructure, DcomLaunch, PlugPlay,",
    u"                                   Power",
    u"lsass.exe                      768 KeyIso, SamSs",
    u"svchost.exe                     12 Dnscache",
    u"notepad.exe                1234567 N/A",
    u"tool.exe                     98765 N/A",
    u"big.exe                     123456 N/A",
});

TEST(ListingsFromTables, TheScanFindsTheSameProcessesAsInTheConsoleText) {
  const Text ours = WriteConnectionListing(FixtureRows(), u"Active Connections", u"  Proto  Local Address");
  const TextView patterns[] = {u"203.0.113.9:443", u":135 ",   u"[::1]:135", u"LISTENING", u"*:*",
                               u"127.0.0.1:",      u"%12]:445", u"CLOSE_WAIT", u"0:500 ",   u":1900"};
  for (TextView pattern : patterns) {
    const size_t inConsole = kConsoleConnections.find(pattern);
    const size_t inOurs = ours.find(pattern);
    ASSERT_NE(inConsole, Text::npos) << ToUtf8(pattern);
    ASSERT_NE(inOurs, Text::npos) << ToUtf8(pattern);
    EXPECT_EQ(FirstProcessIdAfterMatches(ours, pattern, inOurs),
              FirstProcessIdAfterMatches(kConsoleConnections, pattern, inConsole))
        << ToUtf8(pattern);
    EXPECT_EQ(IdTextOfMatchedLine(ours, pattern, inOurs), IdTextOfMatchedLine(kConsoleConnections, pattern, inConsole))
        << ToUtf8(pattern);
  }

  const Text ourServices = WriteServiceListing(
      {{0, u"[System Process]"}, {4, u"System"}, {4120, u"svchost.exe"}, {768, u"lsass.exe"}, {12, u"svchost.exe"},
       {1234567, u"notepad.exe"}, {98765, u"tool.exe"}, {123456, u"big.exe"}},
      {{u"BrokerInfrastructure", 4120}, {u"DcomLaunch", 4120}, {u"Dnscache", 12}, {u"KeyIso", 768},
       {u"PlugPlay", 4120}, {u"Power", 4120}, {u"SamSs", 768}},
      {u"Image Name                     PID Services",
       u"========================= ======== ============================================", u"N/A"});
  for (uint32_t id : {0u, 4u, 12u, 768u, 4120u, 98765u, 123456u, 1234567u, 5u}) {
    EXPECT_EQ(ToUtf8(ServicesTextOf(ourServices, id)), ToUtf8(ServicesTextOf(kConsoleServices, id))) << id;
  }
}

}  // namespace
}  // namespace zc
