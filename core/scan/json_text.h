#pragma once
// JSON's string form for the program's UTF-16 texts: UTF-8, with quotes, backslashes
// and control characters escaped. A lone surrogate (Windows' file names may hold one)
// is kept as its \u escape rather than lost.

#include <cstdint>
#include <string>

#include "core/base/text.h"

namespace zc {

// Appends `text` as a JSON string, quotes included.
void AppendJsonString(std::string& out, TextView text);

// "YYYY-MM-DDTHH:MM:SSZ" for seconds since 1970-01-01 00:00:00 UTC.
std::string UtcTimeText(int64_t unixSeconds);

}  // namespace zc
