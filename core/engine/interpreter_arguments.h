#pragma once
// The hosts whose arguments hold further command lines: the command interpreter, the
// two PowerShells, the task tool and forfiles. Each command found is handed back as a
// PayloadName of kind Command, which the resolver reads again as a command line of its
// own (with a depth limit).

#include <vector>

#include "core/engine/host_programs.h"

namespace zc {

// cmd: the text after /c, /r or /k (options before them skipped), read with the
// interpreter's quote rule: when it starts with a double quote, the first and the last
// double quote of the line are removed, unless /s was given or all of these hold: there
// are exactly two double quotes, no special character (& < > ( ) @ ^ |) between them,
// at least one blank between them, and the text between them names a program. The text
// is then split into the commands it chains (&, &&, ||, |; ^ escapes a character);
// "start" (its title, options and /d FOLDER skipped) and "call" run the command that
// follows them; the interpreter's own commands run no file. Without /c, /r or /k it
// names none.
std::vector<PayloadName> ReadCommandInterpreterArguments(TextView arguments, const HostReading& reading);

// powershell: -File SCRIPT (and its shortenings -f, -fi, -fil); -Command,
// -EncodedCommand and their shortenings (-c, -e, -ec, -enc...), and a command given
// without an option, name none.
std::vector<PayloadName> ReadWindowsPowerShellArguments(TextView arguments, const HostReading& reading);

// pwsh: as powershell, and a first word that is no option is the script's path.
std::vector<PayloadName> ReadPwshArguments(TextView arguments, const HostReading& reading);

// schtasks: the command of /tr (any verb), read again as a command line.
std::vector<PayloadName> ReadTaskSchedulerArguments(TextView arguments, const HostReading& reading);

// forfiles: the command of /c (0xHH escapes applied), run in the folder of /p.
std::vector<PayloadName> ReadForFilesArguments(TextView arguments, const HostReading& reading);

}  // namespace zc
