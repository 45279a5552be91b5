#pragma once
// The file steps of a treatment on one suspect file, all through one opening of it:
// a copy into the store, the attributes cleared, the file deleted (or, when it cannot be
// deleted, as a running program's image cannot, moved into the store), and a hidden
// placeholder folder made at its name. Between two steps the caller shows its progress
// and pauses; the folders above the file stay held all the while, so a junction planted
// during a pause cannot send a later step elsewhere, and one planted before the opening
// refuses every step.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/base/text.h"
#include "core/platform/pinned_file_api.h"

namespace zc {

enum class SuspectStep { Open, Copy, ClearAttributes, Delete, MoveAside, Placeholder };

struct SuspectStepFailure {
  SuspectStep step;
  SystemError error;
};

struct SuspectFileTargets {
  Text path;                 // the file as the evidence names it
  Text backupCopy;           // a free path in the store for the backup copy
  Text aside;                // a free path in the store for the file itself, when it cannot be deleted
  uint32_t placeholderAttributes = 0;
};

struct SuspectStepsOutcome {
  bool fileFound = false;    // a file was at the path when it was opened
  bool backedUp = false;     // a whole copy is in the store
  bool removed = false;      // the file is gone from its path (deleted or moved aside)
  bool movedAside = false;
  bool placeholderMade = false;
  std::vector<SuspectStepFailure> failures;  // in the order they happened
};

// Called before each step after the opening, with the step about to be taken.
using BetweenSuspectSteps = std::function<void(SuspectStep next)>;

// Takes the steps in order. Nothing is taken when the opening is refused. Without a
// whole backup copy the file is neither deleted nor moved, and no placeholder is made:
// a false finding must never cost the file. A path where no file is gets the placeholder
// only. A failed attribute change is noted and the steps go on.
SuspectStepsOutcome TakeSuspectFileSteps(SuspectFileApi& files, const SuspectFileTargets& targets,
                                         const BetweenSuspectSteps& between);

}  // namespace zc
