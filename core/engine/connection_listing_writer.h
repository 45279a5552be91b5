#pragma once
// Writes the connection table's rows in the layout of the console's connection listing
// with owners, one line per row, each ended by CR LF:
//
//     "  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING       1032"
//     "  TCP    [::1]:49670            [::1]:49671            ESTABLISHED     4120"
//     "  UDP    0.0.0.0:500            *:*                                    4460"
//
// Protocol in a 5-wide field after two blanks, two blanks, local and foreign endpoint
// each in a 22-wide field followed by a blank (a longer one pushes the rest to the
// right), the state in a 16-wide field (blank for UDP, whose foreign side is "*:*"),
// then the owning process id. A listening socket's foreign side is written with port 0.
// The listing starts with a blank line, the title, a blank line and the column line.

#include <vector>

#include "core/base/text.h"
#include "core/platform/connection_table_api.h"

namespace zc {

// "LISTENING", "ESTABLISHED", ...; "UNKNOWN" for a number outside the table's range.
TextView TcpStateText(TcpState state);

Text ConnectionListingLine(const ConnectionRow& row);

Text WriteConnectionListing(const std::vector<ConnectionRow>& rows, TextView title, TextView columns);

}  // namespace zc
