#pragma once
// Chooses how each listing is obtained: written in the process from the system's tables
// (no process started) or captured from the console listing commands.
//
// auto     tables first. The connection listing comes from the console for a tick whose
//          tables cannot be read, or whose rows all name owner 0: a platform whose tables
//          report no owners (some Wine set-ups) would otherwise never match an id.
//          A console listing that names no owner either (no line ends in a non-zero
//          id: a console tool that prints no ids, as Wine's does) shows that neither way
//          can tell owners just now. The console then rests for the next
//          kConsoleRestTicks connection listings, whatever the tables hold meanwhile: a
//          tick whose tables name no owner takes the tables' listing without starting a
//          process, and the first such tick after the rest tries the console again. A
//          console listing that names an owner ends a rest. Tables that name an owner are
//          used at once, resting or not, and a tick whose tables cannot be read still
//          takes the console, the only listing there is. The service listing comes
//          from the console when the service manager or the process snapshot cannot be
//          read.
// tables   the tables only; an unreadable table gives an empty listing.
// console  the console commands only.

#include "core/engine/listing_source.h"
#include "core/platform/connection_table_api.h"
#include "core/platform/console_api.h"
#include "core/platform/service_table_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

enum class ListingRouteChoice { Auto, Tables, Console };

// "tables" or "console" (any case) choose that route; anything else, empty included, is
// auto.
ListingRouteChoice ParseListingRouteChoice(const ConstantTexts& texts, TextView value);

enum class ListingWay { None, Tables, Console };

class ListingRoute : public ListingSource {
 public:
  // About 30 s at the monitor's pace of one listing per ~300 ms.
  static constexpr int kConsoleRestTicks = 100;

  ListingRoute(const ConstantTexts& texts, ConsoleApi& console, ConnectionTableApi& connections,
               ServiceTableApi& services, ListingRouteChoice choice)
      : texts_(texts), console_(console), connections_(connections), services_(services), choice_(choice) {}

  Text ConnectionListing() override;
  Text ServiceListing() override;

  // How the last listing of each kind was obtained.
  ListingWay lastConnectionWay() const { return lastConnectionWay_; }
  ListingWay lastServiceWay() const { return lastServiceWay_; }

 private:
  Text ConnectionsFromConsole();
  Text ServicesFromConsole();

  const ConstantTexts& texts_;
  ConsoleApi& console_;
  ConnectionTableApi& connections_;
  ServiceTableApi& services_;
  ListingRouteChoice choice_;
  ListingWay lastConnectionWay_ = ListingWay::None;
  ListingWay lastServiceWay_ = ListingWay::None;
  // Connection listings still to be taken without trying the console (auto only).
  int consoleRestTicks_ = 0;
};

}  // namespace zc
