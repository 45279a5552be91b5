#pragma once
// Whether the program runs with an administrator's full token, and starting it again
// with one. Treatment and restore change the machine's services, processes, files and
// machine-wide registry values, which a standard user's token may not; the user is
// asked before the program starts itself again elevated.

#include <cstdint>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

// How a hand-over to an elevated copy ended, as the copy that asked for it sees it.
enum class HandOverOutcome {
  Ready,               // the elevated copy's window is up and its start-up went through
  NotStarted,          // the prompt was declined (`error` Cancelled) or the start failed
  EndedBeforeReady,    // the elevated copy ended first (`exitCode`)
  Unwatched,           // it started, but the system gave no process to wait on
  StoppedWaiting,      // this copy was told to end while it waited
};

struct HandOverResult {
  HandOverOutcome outcome = HandOverOutcome::NotStarted;
  SystemError error = SystemError::None;
  uint32_t exitCode = 0;
};

class ElevationApi {
 public:
  virtual ~ElevationApi() = default;

  // True when the process token is elevated (an administrator's full token, or a
  // system where there is no split token).
  virtual bool IsElevated() = 0;

  // True when this copy runs with the full half of a split token: an elevation prompt
  // started it, so its HKEY_CURRENT_USER and its profile are those of the account that
  // elevated, which need not be the person at the keyboard (a standard user's
  // over-the-shoulder elevation runs as the administrator who typed the password).
  // False for the limited half and for a token without a split (a standard user, the
  // built-in Administrator, a system without elevation prompts).
  virtual bool IsElevatedCopy() = 0;

  // Starts this program again with an elevated token, with `arguments` as its command
  // line after the program's path, and returns without waiting. `Cancelled` when the
  // user declined the elevation prompt.
  virtual SystemError StartElevated(TextView arguments) = 0;

  // Starts this program again elevated with `arguments` and waits on the new process,
  // letting this copy's window events through, until that copy says it is ready
  // (AnnounceReady) or ends.
  virtual HandOverResult HandOverToElevatedCopy(TextView arguments) = 0;

  // Tells the copy that waits in HandOverToElevatedCopy for this one that this copy's
  // window is up and its start-up went through.
  virtual void AnnounceReady() = 0;
};

}  // namespace zc
