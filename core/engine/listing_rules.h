#pragma once
// How the connection scan reads the two console listings.
//
// Connection listing: one connection per line, lines ended by CR LF, the owning
// process id right-aligned in the line's last six characters:
//     "  TCP    10.0.0.5:49702    203.0.113.9:443    ESTABLISHED     4120"
// Service listing: on each process's line its id, one space, and the services it hosts:
//     "svchost.exe                    1020 DcomLaunch, PlugPlay"

#include <cstddef>
#include <cstdint>

#include "core/base/text.h"

namespace zc {

// The id text after the occurrence of `pattern` at `matchAt`: the text that follows it,
// up to the next occurrence of the pattern, the next CR LF or the end of the listing,
// whichever comes first; of that its last six characters, trimmed of blanks.
Text IdTextAfterMatch(TextView listing, TextView pattern, size_t matchAt);

// A process id read from an id text: decimal digits only, at least one; anything else
// (letters, a sign, a blank inside, more than 32 bits) reads as 0, "no id".
uint32_t ReadProcessId(TextView idText);

// The id after the first occurrence of `pattern` at `firstAt`, and, when that is 0,
// after each later occurrence in turn until one gives an id; 0 when none does.
uint32_t FirstProcessIdAfterMatches(TextView listing, TextView pattern, size_t firstAt);

// The services text of process `processId`: the text after the first occurrence of its
// decimal id followed by one space, anywhere in the listing (so 23 is also found inside
// 1023), up to the next occurrence of that same text, the next CR LF or the end, cut
// before the first run of three blanks. Empty when the id followed by a blank does not
// occur.
Text ServicesTextOf(TextView serviceListing, uint32_t processId);

}  // namespace zc
