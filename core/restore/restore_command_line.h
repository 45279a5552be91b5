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

}  // namespace zc
