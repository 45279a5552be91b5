#pragma once
// The silent scan's exit codes, as management tools read them. 3010 is the code Windows
// Installer uses for "done, restart needed".

#include <cstdint>

namespace zc {

enum class ScanExitCode : int {
  NothingFound = 0,
  Found = 1,            // Findings, not treated (a scan without /treat)
  AllTreated = 2,
  Incomplete = 3,       // a step of a treatment failed, or a file stays in place
  DefinitionsUnavailable = 4,
  NotElevated = 5,      // /treat without an elevated token or LocalSystem
  BadArguments = 6,
  AnotherCopyTreating = 7,
  NewerVersionRequired = 8,
  TreatedRestartNeeded = 3010,
};

// What a run that got as far as its checks found and did.
struct ScanTally {
  int32_t found = 0;
  bool treated = false;       // the treatment pass ran
  int32_t incomplete = 0;     // Findings with a failed step (deletions at restart aside)
  int32_t waitForRestart = 0; // Findings whose only open step is a deletion at restart
};

// The code for a run that got as far as its checks: an incomplete Finding outweighs a
// restart, a restart outweighs "all treated".
ScanExitCode ExitCodeOf(const ScanTally& tally);

}  // namespace zc
