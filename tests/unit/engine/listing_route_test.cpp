// Which way each listing is taken: the tables when they can be read and name owners,
// the console otherwise (auto); one way only when a route is chosen.

#include <gtest/gtest.h>

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
