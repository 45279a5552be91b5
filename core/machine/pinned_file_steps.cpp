#include "core/machine/pinned_file_steps.h"

#include <memory>

namespace zc {
namespace {

class StepRecorder {
 public:
  StepRecorder(SuspectStepsOutcome& outcome, const BetweenSuspectSteps& between)
      : outcome_(outcome), between_(between) {}

  void Before(SuspectStep step) const {
    if (between_) between_(step);
  }
  // True for a step that succeeded; a failure is noted.
  bool Succeeded(SuspectStep step, SystemError error) const {
    if (error == SystemError::None) return true;
    outcome_.failures.push_back({step, error});
    return false;
  }

 private:
  SuspectStepsOutcome& outcome_;
  const BetweenSuspectSteps& between_;
};

}  // namespace

SuspectStepsOutcome TakeSuspectFileSteps(SuspectFileApi& files, const SuspectFileTargets& targets,
                                         const BetweenSuspectSteps& between) {
  SuspectStepsOutcome outcome;
  const StepRecorder steps(outcome, between);
  SystemError opened = SystemError::None;
  const std::unique_ptr<SuspectFile> file = files.Open(targets.path, opened);
  if (!file) {
    steps.Succeeded(SuspectStep::Open, opened == SystemError::None ? SystemError::NotConfirmed : opened);
    return outcome;
  }
  outcome.fileFound = file->HoldsFile();
  if (outcome.fileFound) {
    steps.Before(SuspectStep::Copy);
    outcome.backedUp = steps.Succeeded(SuspectStep::Copy, file->CopyTo(targets.backupCopy));
    if (!outcome.backedUp) return outcome;
    steps.Before(SuspectStep::ClearAttributes);
    steps.Succeeded(SuspectStep::ClearAttributes, file->ClearAttributes());
    steps.Before(SuspectStep::Delete);
    const SystemError deleted = file->Delete();
    outcome.removed = steps.Succeeded(SuspectStep::Delete, deleted);
    if (!outcome.removed && file->HoldsFile()) {
      // Not deletable (a running image): moved into the store instead.
      steps.Before(SuspectStep::MoveAside);
      outcome.movedAside = steps.Succeeded(SuspectStep::MoveAside, file->MoveTo(targets.aside));
      outcome.removed = outcome.movedAside;
    }
    if (!outcome.removed) return outcome;
  }
  steps.Before(SuspectStep::Placeholder);
  outcome.placeholderMade =
      steps.Succeeded(SuspectStep::Placeholder, file->MakePlaceholderFolder(targets.placeholderAttributes));
  return outcome;
}

}  // namespace zc
