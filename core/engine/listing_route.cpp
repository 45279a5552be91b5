#include "core/engine/listing_route.h"

#include <algorithm>

#include "core/engine/connection_listing_writer.h"
#include "core/engine/listing_rules.h"
#include "core/engine/service_listing_writer.h"

namespace zc {
namespace {

bool NoRowHasAnOwner(const std::vector<ConnectionRow>& rows) {
  return !rows.empty() &&
         std::all_of(rows.begin(), rows.end(), [](const ConnectionRow& row) { return row.owningProcessId == 0; });
}

}  // namespace

ListingRouteChoice ParseListingRouteChoice(const ConstantTexts& texts, TextView value) {
  const Text folded = FoldCase(TrimSpaces(value));
  if (folded == FoldCase(texts.Get(enc::ListingRouteTables))) return ListingRouteChoice::Tables;
  if (folded == FoldCase(texts.Get(enc::ListingRouteConsole))) return ListingRouteChoice::Console;
  return ListingRouteChoice::Auto;
}

Text ListingRoute::ConnectionsFromConsole() {
  lastConnectionWay_ = ListingWay::Console;
  return console_.RunCapture(texts_.Get(enc::ConnectionListCommand));
}

Text ListingRoute::ServicesFromConsole() {
  lastServiceWay_ = ListingWay::Console;
  return console_.RunCapture(texts_.Get(enc::ServiceListCommand));
}

Text ListingRoute::ConnectionListing() {
  if (choice_ == ListingRouteChoice::Console) return ConnectionsFromConsole();
  const bool consoleResting = consoleRestTicks_ > 0;
  if (consoleResting) --consoleRestTicks_;
  const std::optional<std::vector<ConnectionRow>> rows = connections_.ReadConnections();
  if (choice_ == ListingRouteChoice::Auto && (!rows || (NoRowHasAnOwner(*rows) && !consoleResting))) {
    Text listing = ConnectionsFromConsole();
    consoleRestTicks_ = AnyLineNamesAProcessId(listing) ? 0 : kConsoleRestTicks;
    return listing;
  }
  lastConnectionWay_ = ListingWay::Tables;
  if (!rows) return Text();
  return WriteConnectionListing(*rows, texts_.Get(enc::ConnectionListingTitle),
                                texts_.Get(enc::ConnectionListingColumns));
}

Text ListingRoute::ServiceListing() {
  if (choice_ == ListingRouteChoice::Console) return ServicesFromConsole();
  const std::optional<std::vector<RunningService>> services = services_.ReadRunningServices();
  std::optional<std::vector<ProcessEntry>> processes;
  if (services) processes = services_.ReadProcesses();
  if (choice_ == ListingRouteChoice::Auto && !processes) return ServicesFromConsole();
  lastServiceWay_ = ListingWay::Tables;
  if (!processes) return Text();
  return WriteServiceListing(*processes, *services,
                             {texts_.Get(enc::ServiceListingColumns), texts_.Get(enc::ServiceListingRule),
                              texts_.Get(enc::NoServiceText)});
}

}  // namespace zc
