#pragma once
// Where the program records what it did and what failed.

#include "core/base/text.h"

namespace zc {

// Appends one time-stamped line to the activity log of a folder. `folder` is followed
// directly by the log file name, so a folder text ends with a path separator; an empty
// folder text means the current directory. Every failure is swallowed.
class ActivityLog {
 public:
  virtual ~ActivityLog() = default;
  virtual void Log_Trans(TextView line, TextView folder) = 0;
};

// Receives the failure reports of the cipher routines and of the text deciphering: the
// routine's label ("gkey", "DecryptData", "PreFer", ...) and what failed.
class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  virtual void Report(TextView label, TextView description) = 0;
};

// Drops every report; for places that must not report (the log's own file name).
class SilentFailureReporter final : public FailureReporter {
 public:
  void Report(TextView, TextView) override {}
};

}  // namespace zc
