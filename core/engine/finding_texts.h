#pragma once
// Cell texts that the checks write and the treatment pass relies on.

#include "core/base/text.h"

namespace zc {

inline constexpr TextView kNoneText = u"None";           // no process, no name, no path
inline constexpr TextView kNotApplicableText = u"N/A";   // a process that hosts no service
inline constexpr TextView kUnnamedServiceText = u"이름이 없는 서비스";

// The name a check shows for a registry value `value`: its last piece when split at
// "\" when there are at least two pieces and the last is not empty; otherwise
// `fallback` (the service or entry name).
Text NameFromValue(TextView value, TextView fallback);

}  // namespace zc
