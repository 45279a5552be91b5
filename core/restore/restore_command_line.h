#pragma once
// The program's one command: `ZombieCure.exe /restore "FOLDER"` restores the treatments
// recorded in a backup folder instead of starting the window.

#include <optional>
#include <vector>

#include "core/base/text.h"

namespace zc {

// The folder when the arguments (without the program's own path) ask for a restore:
// "/restore" in any letter case, then the folder (empty when it was left out). Nothing
// for any other arguments.
std::optional<Text> RestoreFolderArgument(const std::vector<Text>& arguments);

// The command line after the program's path that asks for the restore of `folder`:
// /restore "FOLDER", read back by the system's argument rules as exactly that folder.
// Trailing separators are left out (a "\" before the closing quote would escape it); a
// folder that no quotes can hold (a double quote, a control character) is left out
// entirely, and the restore then finds no folder.
Text RestoreCommandArguments(TextView folder);

}  // namespace zc
