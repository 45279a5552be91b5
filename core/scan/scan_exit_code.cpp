#include "core/scan/scan_exit_code.h"

namespace zc {

ScanExitCode ExitCodeOf(const ScanTally& tally) {
  if (tally.found == 0) return ScanExitCode::NothingFound;
  if (!tally.treated) return ScanExitCode::Found;
  if (tally.incomplete > 0) return ScanExitCode::Incomplete;
  if (tally.waitForRestart > 0) return ScanExitCode::TreatedRestartNeeded;
  return ScanExitCode::AllTreated;
}

}  // namespace zc
