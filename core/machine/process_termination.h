#pragma once
// Ending processes with the system's task-kill tool. Both calls start the tool hidden
// and return at once; nobody waits for it or reads what it says.
//
// The name or id goes between double quotes unchanged. It comes from registry values
// and console listings that a malicious program controls, so a text the quotes cannot
// hold as one argument is refused: the builder returns the empty text and no command
// is started. Refused are texts holding a double quote (it would close the quotes and
// let the rest become further arguments), control characters (CR, LF, NUL and the
// like, which no image name or id contains) and a trailing backslash (it would turn
// the closing quote into a literal one). No real image name or process id has any of
// them, so refusing changes nothing for genuine input.

#include "core/base/text.h"
#include "core/platform/shell_api.h"

namespace zc {

// True when `text` can stand between double quotes as exactly one argument.
bool CanQuoteAsOneArgument(TextView text);

// taskkill /f /im "name" -- empty when the name is refused.
Text TaskkillByImageNameCommand(TextView imageName);

// taskkill /f /pid "id" -- empty when the id text is refused. The id need not be a
// number; it is passed on as it stands.
Text TaskkillByProcessIdCommand(TextView idText);

// Ends, with force, every process with this image name.
void KillByImageName(ShellApi& shell, TextView imageName);

// Ends, with force, the process with this id.
void KillByProcessId(ShellApi& shell, TextView idText);

}  // namespace zc
