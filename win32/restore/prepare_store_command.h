#pragma once
// `ZombieCure.exe /prepare-store`: makes the backup store's root, or takes over one that
// others could change, with the rights only administrators may change, and makes its
// sealing key, through the backup store's own rules; then ends without a window. The
// installers run it elevated at install time (the package's deferred custom action runs
// it as LocalSystem), so the root exists, protected, before any treatment. Exit code 0
// when the root is ready (an information event says so); 1 when it could not be made
// safe (an error event and a line in the program's log beside it say which root); 740 when the token is not elevated.

#include <vector>

#include "core/base/text.h"

namespace zc::win {

// True for the arguments "/prepare-store" alone (any letter case).
bool AsksToPrepareStore(const std::vector<Text>& arguments);

int RunPrepareStoreCommand();

}  // namespace zc::win
