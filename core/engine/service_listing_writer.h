#pragma once
// Writes the running processes and the services they host in the layout of the
// console's per-process service listing, one process per line, CR LF after each:
//
//     "svchost.exe                    836 BrokerInfrastructure, DcomLaunch, PlugPlay,"
//     "                                   Power, SystemEventsBroker"
//     "notepad.exe                   4480 N/A"
//
// The image name in a 25-wide field (cut to 25), a blank, the id right-aligned in an
// 8-wide field, a blank, the service names joined by ", " (the no-service text for a
// process that hosts none). Names that do not fit a 44-wide column go on to lines of
// their own, indented to the column. The listing starts with a blank line, the column
// line and the rule line.

#include <vector>

#include "core/base/text.h"
#include "core/platform/service_table_api.h"

namespace zc {

struct ServiceListingTexts {
  Text columns;    // "Image Name                     PID Services"
  Text rule;       // "========================= ======== ===..."
  Text noService;  // "N/A"
};

// Processes in the snapshot's order; each process's services in the manager's order.
// The idle process (id 0) is shown as "System Idle Process".
Text WriteServiceListing(const std::vector<ProcessEntry>& processes, const std::vector<RunningService>& services,
                         const ServiceListingTexts& texts);

}  // namespace zc
