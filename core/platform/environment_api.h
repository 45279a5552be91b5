#pragma once
// The process's environment, as command lines stored in the registry use it, and a
// user's own environment for the command lines of that user's hive.

#include <optional>

#include "core/base/text.h"

namespace zc {

class EnvironmentApi {
 public:
  virtual ~EnvironmentApi() = default;

  // `text` with every %NAME% of a set variable replaced by its value; names of unset
  // variables stay as they are (as the platform's expansion leaves them).
  virtual Text ExpandVariables(TextView text) = 0;

  // `text` expanded with the variables of the user `userSid` names, as that user's own
  // programs get them (their profile folder, their application data, their TEMP, their
  // PATH). An empty SID, or the running account's own, expands as ExpandVariables does.
  // Nothing when that user's variables cannot be had here (no token of theirs): the
  // caller must not fall back on the running account's, which name another person's
  // folders.
  virtual std::optional<Text> ExpandVariablesFor(TextView userSid, TextView text) = 0;
};

}  // namespace zc
