// zcscan.exe: the silent scan as a console program. A command prompt waits for it and
// shows what it writes, and management tools read its standard handles and exit code;
// it runs the same code as "ZombieCure.exe /scan". Without arguments it says how to use
// it.

#include "win32/base/program_arguments.h"
#include "win32/scan/scan_command.h"

int main() { return zc::win::RunScanCommand(zc::win::ProgramArguments()); }
