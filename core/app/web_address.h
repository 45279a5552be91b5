#pragma once
// Which homepage addresses from the downloaded definitions may be opened: a plain http or
// https address, nothing the shell could read as a program, a file or more than one
// argument.

#include "core/base/text.h"

namespace zc {

// True for "http://" or "https://" (either case) followed by a host and, optionally, a
// path, with no quote, no control character and no blank anywhere.
bool IsOpenableWebAddress(TextView address);

// The address as one printable line for the activity log: control characters become "?".
Text PrintableAddress(TextView address);

}  // namespace zc
