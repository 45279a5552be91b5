#pragma once
// Where the cipher's failure reports go: one Log_Trans line
// "<label>: <description>" (e.g. "PreFer: Type mismatch") in the activity log of a
// folder, by default the program's own folder (the folder of the running exe, with its
// trailing backslash).

#include "core/platform/activity_log.h"

namespace zc::win {

// The folder of the running program, ending with a backslash; empty when unknown.
Text ProgramFolder();

class LogFailureReporter final : public FailureReporter {
 public:
  explicit LogFailureReporter(ActivityLog& log);  // reports go to ProgramFolder()
  LogFailureReporter(ActivityLog& log, Text folder);

  void Report(TextView label, TextView description) override;

  const Text& folder() const { return folder_; }

 private:
  ActivityLog& log_;
  Text folder_;
};

}  // namespace zc::win
