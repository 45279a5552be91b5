#pragma once
// How the connection scan reads the two console listings.
//
// Connection listing: one connection per line, lines ended by CR LF, the owning
// process id as the line's last blank-separated field:
//     "  TCP    10.0.0.5:49702    203.0.113.9:443    ESTABLISHED     4120"
// Service listing: on each process's line its id as a field of its own, one space, and
// the services it hosts:
//     "svchost.exe                    1020 DcomLaunch, PlugPlay"
//
// Ids are always read whole: a wider id is never cut to its last digits, and an id
// never matches where its digits only end a longer number (23 is not 1023), so a kill
// or a row names exactly the process that the line names.

#include <cstddef>
#include <cstdint>

#include "core/base/text.h"

namespace zc {

// The id text of the line on which the occurrence of `pattern` at `matchAt` ends: that
// line's last field, blanks (spaces, tabs) separating fields; the line runs from the
// CR LF before it to the CR LF after it or the end of the listing. Empty when the line
// holds nothing but blanks.
Text IdTextOfMatchedLine(TextView listing, TextView pattern, size_t matchAt);

// A process id read from an id text: decimal digits only, at least one; anything else
// (letters, a sign, a blank inside, more than 32 bits) reads as 0, "no id".
uint32_t ReadProcessId(TextView idText);

// Whether any line of a connection listing names a process: its last field reads as a
// non-zero id. A listing whose lines end in states or addresses (a console tool that
// prints no owners), or in 0 only, names none.
bool AnyLineNamesAProcessId(TextView listing);

// The id of the line of the first occurrence of `pattern` at `firstAt`, and, when that
// is 0, of each later occurrence in turn until one gives an id; 0 when none does.
uint32_t FirstProcessIdAfterMatches(TextView listing, TextView pattern, size_t firstAt);

// The services text of process `processId`: on the first line where its decimal id
// stands as a field of its own (at the line's start or after a blank) followed by one
// space, the text after that space, up to the next such occurrence of the id on the
// line or the line's end, cut before the first run of three blanks. Empty when no
// line holds the id that way.
Text ServicesTextOf(TextView serviceListing, uint32_t processId);

}  // namespace zc
