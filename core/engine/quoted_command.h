#pragma once
// Command lines that end in one argument taken from the machine (a service name from a
// console listing or the registry, a backup folder named after a process). The
// argument goes between double quotes so that blanks inside it cannot split it into
// more arguments; a text the quotes cannot hold as one argument is refused.

#include "core/base/text.h"

namespace zc {

// `prefix` followed by the argument in double quotes. The argument is first trimmed of
// blanks (unquoted, leading and trailing blanks separate nothing, so a service name
// keeps its meaning). Empty when the trimmed argument is empty or cannot stand
// between quotes as one argument (a quote, a control character, a trailing
// backslash); then no command is to be run.
Text CommandWithQuotedArgument(TextView prefix, TextView argument);

// `prefix` followed by a folder in double quotes, without its trailing backslashes
// (which would escape the closing quote). Empty when the folder cannot be quoted.
Text CommandWithQuotedFolder(TextView prefix, TextView folder);

}  // namespace zc
