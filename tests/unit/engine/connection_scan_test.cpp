#include "core/engine/connection_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHklm;

constexpr char16_t kListing[] =
    u"\r\nActive Connections\r\n\r\n"
    u"  Proto  Local Address          Foreign Address        State           PID\r\n"
    u"  TCP    10.0.0.5:49702         203.0.113.9:443        ESTABLISHED     4120\r\n"
    u"  TCP    10.0.0.5:49703         198.51.100.7:8080      ESTABLISHED     4120\r\n"
    u"  TCP    10.0.0.5:49704         192.0.2.10:6667        ESTABLISHED     5200\r\n"
    u"  TCP    0.0.0.0:4444           0.0.0.0:0              LISTENING       6300\r\n"
    u"  TCP    10.0.0.5:49705         192.0.2.99:25          ESTABLISHED     804\r\n";

constexpr char16_t kServiceListing[] =
    u"Image Name                     PID Services\r\n"
    u"========================= ======== ============================================\r\n"
    u"svchost.exe                    1020 DcomLaunch, PlugPlay\r\n"
    u"evil.exe                       4120 N/A\r\n"
    u"bot.exe                        5200 BotSvc\r\n"
    u"door.exe                       6300 N/A\r\n";

class ConnectionScanTest : public ::testing::Test {
 protected:
  ConnectionScanTest() {
    w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    w.processes.AddProcess(4120, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
    w.processes.AddProcess(5200, u"bot.exe", u"\\Device\\HarddiskVolume1\\bot\\bot.exe");
    w.processes.AddProcess(6300, u"door.exe", u"\\Device\\HarddiskVolume1\\door.exe");
    w.processes.AddProcess(804, u"svchost.exe", u"\\Device\\HarddiskVolume1\\Windows\\svchost.exe");
    w.processes.AddProcess(0, u"[System Process]", u"");
    w.console.SetOutput(w.T(enc::ConnectionListCommand), kListing);
    w.console.SetOutput(w.T(enc::ServiceListCommand), kServiceListing);
  }

  std::vector<Text> Column(int32_t column) const {
    std::vector<Text> out;
    for (const RowBuffer& row : w.results.rows) out.push_back(row[static_cast<size_t>(column)]);
    return out;
  }

  EngineWorld w;
  ConnectionScan scan{w.texts, w.definitions, w.listings, w.inventory, w.endRules, w.shell, w.registry, w.results, w.rowBuffer};
};

TEST_F(ConnectionScanTest, ListsMatchingProcessesWithTheirPathAndServices) {
  w.SetOutbound({u"203.0.113.9:443"});
  w.SetInbound({u"192.0.2.10:6667"});
  scan.ScanConnections();

  ASSERT_EQ(w.results.rows.size(), 2u);
  EXPECT_EQ(w.results.rows[0], (RowBuffer{u"evil.exe", u"4120", u"C:\\Temp\\evil.exe", u"N/A", u"outPut Tun", u"", u""}));
  EXPECT_EQ(w.results.rows[1], (RowBuffer{u"bot.exe", u"5200", u"C:\\bot\\bot.exe", u"BotSvc", u"inPut Tun", u"", u""}));
  EXPECT_EQ(w.results.images, (std::vector<int32_t>{0, 0}));
  EXPECT_TRUE(scan.HasSeen(4120));
  EXPECT_TRUE(scan.HasSeen(5200));
  // The connection listing once; the service listing and the device map once for both
  // listed processes.
  EXPECT_EQ(w.console.calls, (std::vector<Text>{w.T(enc::ConnectionListCommand), w.T(enc::ServiceListCommand)}));
  EXPECT_EQ(w.processes.driveListings, 1);

  // The next scan takes both afresh when it lists a process.
  scan.ClearSeenProcessIds();
  scan.ScanConnections();
  EXPECT_EQ(w.console.calls.size(), 4u);
  EXPECT_EQ(w.processes.driveListings, 2);
}

TEST_F(ConnectionScanTest, NoMatchChangesNothing) {
  w.SetOutbound({u"203.0.113.200:1"});
  w.SetInbound({u"nowhere"});
  w.definitions.ConnectionKillPatterns = {u"", u"not there", u""};
  scan.ScanConnections();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(scan.SeenCount(), 0u);
  EXPECT_TRUE(w.shell.launches.empty());
  // Only the connection listing: with nothing to list, no service listing and no
  // device map are needed.
  EXPECT_EQ(w.console.calls.size(), 1u);
  EXPECT_EQ(w.processes.driveListings, 0);
}

TEST_F(ConnectionScanTest, AnEmptyCaptureFindsNothing) {
  w.console.outputs.clear();
  w.SetOutbound({u"203.0.113.9:443"});
  w.definitions.ConnectionKillPatterns = {u"203.0.113.9:443"};
  scan.ScanConnections();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_TRUE(w.shell.launches.empty());
}

TEST_F(ConnectionScanTest, AProcessMatchedByTwoPatternsIsListedOnceUnderTheFirstPass) {
  w.SetOutbound({u"203.0.113.9:443", u"198.51.100.7:8080"});
  w.SetInbound({u"198.51.100.7:8080"});
  scan.ScanConnections();
  ASSERT_EQ(w.results.rows.size(), 1u);
  EXPECT_EQ(Column(kColumnKind), (std::vector<Text>{u"outPut Tun"}));
}

TEST_F(ConnectionScanTest, AnExcludedNameEndsTheOutboundPassButNotTheInbound) {
  // 804 is svchost.exe: the outbound entries after it are not examined.
  w.SetOutbound({u"192.0.2.99:25", u"203.0.113.9:443"});
  w.SetInbound({u"192.0.2.99:25", u"192.0.2.10:6667"});
  scan.ScanConnections();
  EXPECT_TRUE(scan.HasSeen(804));
  EXPECT_FALSE(scan.HasSeen(4120));
  EXPECT_EQ(Column(kColumnName), (std::vector<Text>{u"bot.exe"}));
  EXPECT_EQ(Column(kColumnKind), (std::vector<Text>{u"inPut Tun"}));
}

TEST_F(ConnectionScanTest, AnIdOfZeroIsResolvedThroughLaterLinesOnlyOutbound) {
  w.console.SetOutput(w.T(enc::ConnectionListCommand),
                      u"  TCP 10.9.9.9:1 LISTENING\r\n  TCP 10.9.9.9:1 ESTABLISHED     0\r\n"
                      u"  TCP 10.9.9.9:1 ESTABLISHED  6300\r\n  UDP 10.8.8.8:2 *:*\r\n  UDP 10.8.8.8:2 *:*    5200\r\n");
  w.SetOutbound({u"10.9.9.9:1"});
  w.SetInbound({u"10.8.8.8:2"});
  scan.ScanConnections();
  EXPECT_EQ(Column(kColumnName), (std::vector<Text>{u"door.exe"}));
  EXPECT_FALSE(scan.HasSeen(5200));
}

TEST_F(ConnectionScanTest, IdleAndEndedProcessesAreSkipped) {
  w.console.SetOutput(w.T(enc::ConnectionListCommand), u"a 0.0.0.0:1     0\r\nb 9.9.9.9:9   7777\r\n");
  w.SetOutbound({u"0.0.0.0:1", u"9.9.9.9:9"});
  w.SetInbound({u"9.9.9.9:9"});
  scan.ScanConnections();
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(scan.SeenCount(), 0u);
}

TEST_F(ConnectionScanTest, AnUnreadableImagePathFallsBackToTheServiceImageValue) {
  w.processes.AddProcess(5200, u"bot.exe", u"\\Device\\HarddiskVolume1\\bot\\bot.exe", /*openable=*/false);
  w.registry.SetText(kHklm, w.T(enc::ServiceKeyPrefix) + u"BotSvc", w.T(enc::ServiceImageValueName),
                     u"C:\\Windows\\bot.exe");
  w.SetInbound({u"192.0.2.10:6667"});
  scan.ScanConnections();
  EXPECT_EQ(Column(kColumnPath), (std::vector<Text>{u"C:\\Windows\\bot.exe"}));
}

TEST_F(ConnectionScanTest, TheServicesTextIsKeptUntrimmedUnlessItMeansNoService) {
  w.console.SetOutput(w.T(enc::ServiceListCommand), u"evil.exe 4120  N/A  \r\nbot.exe 5200 Bot Svc  \r\n");
  w.SetOutbound({u"203.0.113.9:443", u"192.0.2.10:6667"});
  scan.ScanConnections();
  EXPECT_EQ(Column(kColumnDetail), (std::vector<Text>{u"N/A", u"Bot Svc  "}));
}

TEST_F(ConnectionScanTest, RepeatedScansListNothingTwiceUntilTheSeenIdsAreCleared) {
  w.SetOutbound({u"203.0.113.9:443"});
  w.SetInbound({u"192.0.2.10:6667"});
  scan.ScanConnections();
  scan.ScanConnections();
  EXPECT_EQ(w.results.rows.size(), 2u);
  scan.ClearSeenProcessIds();
  scan.ScanConnections();
  EXPECT_EQ(w.results.rows.size(), 4u);
}

TEST_F(ConnectionScanTest, KillPatternsEndTheOwnerAtOnceWithoutAFinding) {
  // Every piece of the list counts, in order; empty pieces kill nothing.
  w.definitions.ConnectionKillPatterns = {u"", u"0.0.0.0:4444", u"203.0.113.9:443", u"missing", u""};
  scan.ScanConnections();
  EXPECT_EQ(w.shell.CommandLines(),
            (std::vector<Text>{u"taskkill /f /pid \"6300\"", u"taskkill /f /pid \"4120\""}));
  // A process that has gone meanwhile is not asked for again: its id may be another's.
  w.shell.launches.clear();
  w.processes.EndProcess(6300);
  scan.ScanConnections();
  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{u"taskkill /f /pid \"4120\""}));
  EXPECT_EQ(w.shell.launches[0].second, WindowState::Hidden);
  EXPECT_TRUE(w.results.rows.empty());
  EXPECT_EQ(scan.SeenCount(), 0u);
}

TEST_F(ConnectionScanTest, IdsAreReadWholeForRowsKillsAndServices) {
  // The suspect has a seven-digit id; innocent 234567 (its last six digits) and 708
  // (the last six of 1000708, "000708") run too. Process 23 sits after 1023, whose
  // digits end with its own.
  w.processes.AddProcess(1234567, u"evil.exe", u"\\Device\\HarddiskVolume1\\Temp\\evil.exe");
  w.processes.AddProcess(234567, u"innocent.exe", u"\\Device\\HarddiskVolume1\\Apps\\innocent.exe");
  w.processes.AddProcess(23, u"small.exe", u"\\Device\\HarddiskVolume1\\Temp\\small.exe");
  w.processes.AddProcess(1000708, u"door.exe", u"\\Device\\HarddiskVolume1\\Temp\\door.exe");
  w.console.SetOutput(w.T(enc::ConnectionListCommand),
                      u"  TCP    10.0.0.5:49702    203.0.113.9:443    ESTABLISHED     1234567\r\n"
                      u"  TCP    10.0.0.5:49703    192.0.2.10:6667    ESTABLISHED     23\r\n"
                      u"  TCP    10.0.0.5:49704    198.51.100.1:80    ESTABLISHED 1000708\r\n");
  w.console.SetOutput(w.T(enc::ServiceListCommand),
                      u"svchost.exe                   1023 DcomLaunch, PlugPlay\r\n"
                      u"innocent.exe                234567 Audiosrv\r\n"
                      u"evil.exe                   1234567 N/A\r\n"
                      u"small.exe                       23 SmallSvc\r\n");
  w.SetOutbound({u"203.0.113.9:443"});
  w.SetInbound({u"192.0.2.10:6667"});
  w.definitions.ConnectionKillPatterns = {u"198.51.100.1:80"};
  scan.ScanConnections();

  EXPECT_EQ(w.shell.CommandLines(), (std::vector<Text>{u"taskkill /f /pid \"1000708\""}));
  ASSERT_EQ(w.results.rows.size(), 2u);
  EXPECT_EQ(w.results.rows[0],
            (RowBuffer{u"evil.exe", u"1234567", u"C:\\Temp\\evil.exe", u"N/A", u"outPut Tun", u"", u""}));
  EXPECT_EQ(w.results.rows[1],
            (RowBuffer{u"small.exe", u"23", u"C:\\Temp\\small.exe", u"SmallSvc", u"inPut Tun", u"", u""}));
  EXPECT_FALSE(scan.HasSeen(234567));
}

TEST_F(ConnectionScanTest, OnlyTheTableEntriesThatTheListStandsForAreSearched) {
  // A list without outer bars has no inner pieces: its table is not read.
  w.definitions.OutputTunnelPatterns = {u"203.0.113.9:443", u"192.0.2.10:6667"};
  w.definitions.OutputTunnelTable[0] = u"203.0.113.9:443";
  scan.ScanConnections();
  EXPECT_TRUE(w.results.rows.empty());
}

// The same machine seen through the system's tables: the rows behind kListing and the
// services and processes behind kServiceListing.
ConnectionRow TcpRow(std::array<uint8_t, 4> local, uint16_t localPort, std::array<uint8_t, 4> remote,
                     uint16_t remotePort, TcpState state, uint32_t owner) {
  ConnectionRow row;
  std::copy(local.begin(), local.end(), row.local.address.begin());
  row.local.port = localPort;
  std::copy(remote.begin(), remote.end(), row.remote.address.begin());
  row.remote.port = remotePort;
  row.state = state;
  row.owningProcessId = owner;
  return row;
}

TEST_F(ConnectionScanTest, TheTablesRouteFindsWhatTheConsoleListingsFind) {
  w.SetOutbound({u"203.0.113.9:443", u":8080 "});
  w.SetInbound({u"192.0.2.10:6667", u"0.0.0.0:4444"});
  w.definitions.ConnectionKillPatterns = {u"", u":4444 ", u""};
  scan.ScanConnections();
  const std::vector<RowBuffer> consoleRows = w.results.rows;
  const std::vector<Text> consoleKills = w.shell.CommandLines();
  ASSERT_EQ(consoleRows.size(), 3u);
  ASSERT_EQ(consoleKills.size(), 1u);

  w.connectionTable.rows = {
      TcpRow({10, 0, 0, 5}, 49702, {203, 0, 113, 9}, 443, TcpState::Established, 4120),
      TcpRow({10, 0, 0, 5}, 49703, {198, 51, 100, 7}, 8080, TcpState::Established, 4120),
      TcpRow({10, 0, 0, 5}, 49704, {192, 0, 2, 10}, 6667, TcpState::Established, 5200),
      TcpRow({0, 0, 0, 0}, 4444, {0, 0, 0, 0}, 0, TcpState::Listening, 6300),
      TcpRow({10, 0, 0, 5}, 49705, {192, 0, 2, 99}, 25, TcpState::Established, 804),
  };
  w.serviceTable.processes = {{1020, u"svchost.exe"}, {4120, u"evil.exe"}, {5200, u"bot.exe"}, {6300, u"door.exe"}};
  w.serviceTable.services = {{u"DcomLaunch", 1020}, {u"PlugPlay", 1020}, {u"BotSvc", 5200}};
  w.results.rows.clear();
  w.results.images.clear();
  w.shell.launches.clear();
  w.console.calls.clear();
  ListingRoute tables(w.texts, w.console, w.connectionTable, w.serviceTable, ListingRouteChoice::Tables);
  ConnectionScan fromTables{w.texts, w.definitions, tables, w.inventory, w.endRules, w.shell, w.registry, w.results, w.rowBuffer};
  fromTables.ScanConnections();
  EXPECT_EQ(w.results.rows, consoleRows);
  EXPECT_EQ(w.shell.CommandLines(), consoleKills);
  EXPECT_TRUE(w.console.calls.empty()) << "no process started";
}

// The kill pass never stops Windows: a critical process, a process whose criticality
// the system would not tell, the session's core processes and the shared service host
// stay whatever line a kill pattern matches; a bot named like one of them elsewhere goes.
TEST_F(ConnectionScanTest, KillPatternsNeverEndWindowsOwnProcesses) {
  struct Case {
    const char* what;
    const char16_t* name;
    const char16_t* devicePath;
    Criticality criticality;
    bool ended;
  };
  const Case cases[] = {
      {"a bot", u"bot.exe", u"\\Users\\u\\bot.exe", Criticality::NotCritical, true},
      {"a critical process", u"bot.exe", u"\\Users\\u\\bot.exe", Criticality::Critical, false},
      {"criticality unknown", u"bot.exe", u"\\Users\\u\\bot.exe", Criticality::Unknown, false},
      {"the session's csrss", u"csrss.exe", u"\\Windows\\System32\\csrss.exe", Criticality::NotCritical, false},
      {"winlogon, any letter case", u"WinLogon.EXE", u"\\WINDOWS\\system32\\winlogon.exe", Criticality::NotCritical,
       false},
      {"the shared service host", u"svchost.exe", u"\\Windows\\System32\\svchost.exe", Criticality::NotCritical,
       false},
      {"a 32-bit service host", u"svchost.exe", u"\\Windows\\SysWOW64\\svchost.exe", Criticality::NotCritical, false},
      {"a bot calling itself csrss", u"csrss.exe", u"\\Users\\u\\AppData\\csrss.exe", Criticality::NotCritical, true},
      {"a bot calling itself svchost", u"svchost.exe", u"\\Users\\u\\svchost.exe", Criticality::NotCritical, true},
  };
  for (const Case& c : cases) {
    EngineWorld world;
    world.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    world.processes.AddProcess(7000, c.name, Text(u"\\Device\\HarddiskVolume1") + c.devicePath);
    world.processDetails.Add(7000, u"x", u"C:\\", {}, c.criticality);
    world.console.SetOutput(world.T(enc::ConnectionListCommand),
                            u"  TCP    10.0.0.5:49705         192.0.2.99:25          ESTABLISHED     7000\r\n");
    world.definitions.ConnectionKillPatterns = {u"192.0.2.99:25"};
    ConnectionScan killer{world.texts,    world.definitions, world.listings, world.inventory, world.endRules,
                          world.shell,    world.registry,    world.results,  world.rowBuffer};
    killer.ScanConnections();
    EXPECT_EQ(world.shell.CommandLines().size(), c.ended ? 1u : 0u) << c.what;
  }
}

}  // namespace
}  // namespace zc
