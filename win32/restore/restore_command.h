#pragma once
// `ZombieCure.exe /restore "FOLDER"`: restores the treatments recorded in a backup
// folder without the main window, the definitions or the monitoring. Silent when all
// was restored (exit code 0); otherwise a message box under the program's common title
// names what could not be done (exit code 1).

#include <windows.h>

#include "core/base/text.h"
#include "core/platform/elevation_api.h"
#include "core/texts/constant_texts.h"

namespace zc::win {

// Without an administrator's token the restore is not tried: the user is asked to start
// it again elevated, and the elevated copy restores (and checks the folder) itself.
int RunRestoreCommand(TextView folder);

// Asks (over `owner`) whether to restore `folder` with an administrator's token and, on
// Yes, starts `/restore "FOLDER"` elevated. Tells the user when nothing was started.
// True when the elevated copy was started.
bool OfferElevatedRestore(const ConstantTexts& texts, ElevationApi& elevation, TextView folder, HWND owner);

}  // namespace zc::win
