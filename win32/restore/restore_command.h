#pragma once
// `ZombieCure.exe /restore "FOLDER"`: restores the treatments recorded in a backup
// folder without the main window, the definitions or the monitoring. Silent when all
// was restored (exit code 0); otherwise a message box under the program's common title
// names what could not be done (exit code 1).

#include "core/base/text.h"

namespace zc::win {

int RunRestoreCommand(TextView folder);

}  // namespace zc::win
