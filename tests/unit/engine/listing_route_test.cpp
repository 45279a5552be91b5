// Which way each listing is taken: the tables when they can be read and name owners,
// the console otherwise (auto); one way only when a route is chosen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/engine/listing_route.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;

ConnectionRow Row(uint16_t port, uint32_t owner) {
  ConnectionRow row;
  row.local.port = port;
  row.state = TcpState::Listening;
  row.owningProcessId = owner;
  return row;
}

struct RouteWorld : EngineWorld {
  fakes::FakeConnectionTable connections;
  fakes::FakeServiceTable services;
  RouteWorld() {
    console.SetOutput(T(enc::ConnectionListCommand), u"console connections");
    console.SetOutput(T(enc::ServiceListCommand), u"console services");
    services.processes = {{4, u"System"}, {1020, u"svchost.exe"}};
    services.services = {{u"Dnscache", 1020}};
  }
  ListingRoute Route(ListingRouteChoice choice) { return ListingRoute(texts, console, connections, services, choice); }
};

enum class Tables { OwnersReported, NoOwners, Unreadable, NoRows };

TEST(ListingRoute, ConnectionListingWayFollowsTheChoiceAndWhatTheTablesReport) {
  struct Case {
    ListingRouteChoice choice;
    Tables tables;
    ListingWay way;
    bool startsConsole;
  };
  const Case cases[] = {
      {ListingRouteChoice::Auto, Tables::OwnersReported, ListingWay::Tables, false},
      {ListingRouteChoice::Auto, Tables::NoOwners, ListingWay::Console, true},
      {ListingRouteChoice::Auto, Tables::Unreadable, ListingWay::Console, true},
      {ListingRouteChoice::Auto, Tables::NoRows, ListingWay::Tables, false},
      {ListingRouteChoice::Tables, Tables::NoOwners, ListingWay::Tables, false},
      {ListingRouteChoice::Tables, Tables::Unreadable, ListingWay::Tables, false},
      {ListingRouteChoice::Console, Tables::OwnersReported, ListingWay::Console, true},
  };
  for (const Case& c : cases) {
    RouteWorld w;
    if (c.tables == Tables::OwnersReported) w.connections.rows = {Row(135, 0), Row(445, 4)};
    if (c.tables == Tables::NoOwners) w.connections.rows = {Row(135, 0), Row(445, 0)};
    w.connections.unreadable = c.tables == Tables::Unreadable;
    ListingRoute route = w.Route(c.choice);
    const Text listing = route.ConnectionListing();
    const int index = static_cast<int>(&c - cases);
    EXPECT_EQ(route.lastConnectionWay(), c.way) << index;
    EXPECT_EQ(w.console.calls.size(), c.startsConsole ? 1u : 0u) << index;
    if (c.startsConsole) {
      EXPECT_EQ(listing, u"console connections") << index;
    } else if (c.tables == Tables::OwnersReported) {
      EXPECT_TRUE(Contains(listing, u":445 ")) << index;
    } else if (c.tables == Tables::Unreadable) {
      EXPECT_TRUE(listing.empty()) << index;
    }
    // The console route never asks the tables.
    if (c.choice == ListingRouteChoice::Console) {
      EXPECT_EQ(w.connections.reads, 0) << index;
    }
  }
}

// What a console listing holds: owners at the ends of its lines, or none (a tool that
// prints no ids, or only 0).
enum class Console { NamesOwners, NamesNone };

constexpr TextView kConsoleWithOwners =
    u"  Proto  Local Address  Foreign Address  State  PID\r\n"
    u"  TCP    0.0.0.0:135    0.0.0.0:0        LISTENING       1032\r\n";
constexpr TextView kConsoleWithoutOwners =
    u"  Proto  Local Address  Foreign Address  State  PID\r\n"
    u"  TCP    0.0.0.0:135    0.0.0.0:0        LISTENING\r\n"
    u"  UDP    0.0.0.0:123    *:*              0\r\n";

// The ways of a run of ticks, run-length written: "C1 T100" is one console tick, then
// a hundred from the tables.
std::string WaysWritten(const std::vector<ListingWay>& ways) {
  std::string written;
  for (size_t i = 0; i < ways.size();) {
    size_t end = i;
    while (end < ways.size() && ways[end] == ways[i]) ++end;
    if (!written.empty()) written += ' ';
    written += ways[i] == ListingWay::Console ? 'C' : ways[i] == ListingWay::Tables ? 'T' : '-';
    written += std::to_string(end - i);
    i = end;
  }
  return written;
}

TEST(ListingRoute, AutoRestsTheConsoleWhileNeitherWayNamesOwners) {
  constexpr int kRest = ListingRoute::kConsoleRestTicks;
  static_assert(kRest == 100, "the sequences below are written for a rest of 100 ticks");
  struct Run {
    int ticks;
    Tables tables;
    Console console;
  };
  struct Case {
    const char* name;
    ListingRouteChoice choice;
    std::vector<Run> runs;
    const char* ways;
    size_t consoleCaptures;
  };
  const Case cases[] = {
      {"no owner anywhere: the console is tried once per rest",
       ListingRouteChoice::Auto, {{2 * kRest + 3, Tables::NoOwners, Console::NamesNone}}, "C1 T100 C1 T100 C1", 3},
      {"a console that names owners is taken on every such tick",
       ListingRouteChoice::Auto, {{5, Tables::NoOwners, Console::NamesOwners}}, "C5", 5},
      {"tables that name owners never start the console",
       ListingRouteChoice::Auto, {{5, Tables::OwnersReported, Console::NamesOwners}}, "T5", 0},
      {"owners in the tables are used during a rest, which still ends on time",
       ListingRouteChoice::Auto,
       {{1, Tables::NoOwners, Console::NamesNone},
        {10, Tables::OwnersReported, Console::NamesNone},
        {kRest - 10 + 4, Tables::NoOwners, Console::NamesNone}},
       "C1 T100 C1 T3", 2},
      {"a console that starts naming owners is kept from the first try after the rest",
       ListingRouteChoice::Auto,
       {{1 + kRest, Tables::NoOwners, Console::NamesNone}, {3, Tables::NoOwners, Console::NamesOwners}},
       "C1 T100 C3", 4},
      {"unreadable tables take the console even during a rest; one that names owners ends it",
       ListingRouteChoice::Auto,
       {{1, Tables::NoOwners, Console::NamesNone},
        {1, Tables::Unreadable, Console::NamesNone},
        {2, Tables::NoOwners, Console::NamesOwners},
        {1, Tables::Unreadable, Console::NamesOwners},
        {2, Tables::NoOwners, Console::NamesOwners}},
       "C2 T2 C3", 5},
      {"the tables route never starts the console",
       ListingRouteChoice::Tables, {{kRest + 5, Tables::NoOwners, Console::NamesNone}}, "T105", 0},
      {"the console route starts it on every tick",
       ListingRouteChoice::Console, {{kRest + 5, Tables::OwnersReported, Console::NamesNone}}, "C105", 105},
  };
  for (const Case& c : cases) {
    RouteWorld w;
    ListingRoute route = w.Route(c.choice);
    std::vector<ListingWay> ways;
    for (const Run& run : c.runs) {
      if (run.tables == Tables::OwnersReported) w.connections.rows = {Row(135, 0), Row(445, 4)};
      if (run.tables == Tables::NoOwners) w.connections.rows = {Row(135, 0), Row(445, 0)};
      w.connections.unreadable = run.tables == Tables::Unreadable;
      const TextView consoleText = run.console == Console::NamesOwners ? kConsoleWithOwners : kConsoleWithoutOwners;
      w.console.SetOutput(w.T(enc::ConnectionListCommand), consoleText);
      for (int tick = 0; tick < run.ticks; ++tick) {
        const Text listing = route.ConnectionListing();
        ways.push_back(route.lastConnectionWay());
        // Each tick returns the listing of the way it reports.
        if (route.lastConnectionWay() == ListingWay::Console) {
          EXPECT_EQ(listing, consoleText) << c.name << ", tick " << ways.size();
        } else {
          EXPECT_TRUE(Contains(listing, u":445 ")) << c.name << ", tick " << ways.size();
        }
      }
    }
    EXPECT_EQ(WaysWritten(ways), c.ways) << c.name;
    EXPECT_EQ(w.console.calls.size(), c.consoleCaptures) << c.name;
  }
}

TEST(ListingRoute, ServiceListingFallsBackWhenTheManagerOrTheSnapshotCannotBeRead) {
  struct Case {
    ListingRouteChoice choice;
    bool managerUnavailable;
    bool snapshotUnavailable;
    ListingWay way;
  };
  const Case cases[] = {
      {ListingRouteChoice::Auto, false, false, ListingWay::Tables},
      {ListingRouteChoice::Auto, true, false, ListingWay::Console},
      {ListingRouteChoice::Auto, false, true, ListingWay::Console},
      {ListingRouteChoice::Tables, true, false, ListingWay::Tables},
      {ListingRouteChoice::Console, false, false, ListingWay::Console},
  };
  for (const Case& c : cases) {
    RouteWorld w;
    w.services.managerUnavailable = c.managerUnavailable;
    w.services.snapshotUnavailable = c.snapshotUnavailable;
    ListingRoute route = w.Route(c.choice);
    const Text listing = route.ServiceListing();
    const int index = static_cast<int>(&c - cases);
    EXPECT_EQ(route.lastServiceWay(), c.way) << index;
    if (c.way == ListingWay::Console) {
      EXPECT_EQ(listing, u"console services") << index;
    } else {
      EXPECT_TRUE(w.console.calls.empty()) << index;
      const bool readable = !c.managerUnavailable && !c.snapshotUnavailable;
      EXPECT_EQ(Contains(listing, u"1020 Dnscache\r\n"), readable) << index;
      EXPECT_EQ(listing.empty(), !readable) << index;
    }
  }
}

TEST(ListingRoute, ChoiceIsReadFromItsNameInAnyCase) {
  EngineWorld w;
  const std::pair<TextView, ListingRouteChoice> cases[] = {
      {u"tables", ListingRouteChoice::Tables},   {u" TABLES ", ListingRouteChoice::Tables},
      {u"Console", ListingRouteChoice::Console}, {u"auto", ListingRouteChoice::Auto},
      {u"", ListingRouteChoice::Auto},           {u"table", ListingRouteChoice::Auto}};
  for (const auto& [value, choice] : cases) {
    EXPECT_EQ(ParseListingRouteChoice(w.texts, value), choice) << ToUtf8(value);
  }
}

}  // namespace
}  // namespace zc
