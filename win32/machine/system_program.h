#pragma once
// The program a command line starts. The program starts the system's own tools by name
// (netstat, tasklist, sc, taskkill, explorer); such a name is taken from the system
// folder, or else the Windows folder, and never from the executable's folder, the current
// folder or the search path, where a planted program of the same name would run with
// this program's rights.

#include "core/base/text.h"

namespace zc::win {

// The command's first word, quoted or not, as its full path: a bare name (".exe" added
// when it has no extension) found in the system folder or else in the Windows folder;
// an absolute path ("C:\..." or "\\server\...") as it stands. Empty for anything else (a
// relative path, an unclosed quote, a name neither folder holds): such a command is not
// started.
Text SystemProgramFor(TextView commandLine);

}  // namespace zc::win
