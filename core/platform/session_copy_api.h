#pragma once
// One copy of the program per user and session: a name only this user's processes can
// make (an object in a private namespace bound to the user's SID, so another program
// cannot take the name first), and the call that brings the copy already running to the
// front.

namespace zc {

enum class SessionClaim {
  First,        // no copy of this user runs in this session; the name is now this copy's
  AnotherRuns,  // a copy of this user already holds the name in this session
  Unknown,      // the name could not be made or opened (the error is the platform's)
};

class SessionCopyApi {
 public:
  virtual ~SessionCopyApi() = default;

  // Makes or opens the session's name and keeps it as long as this copy runs (also when
  // another copy made it: the name then outlives that copy).
  virtual SessionClaim Claim() = 0;

  // Asks the copy already running to show its window in front, and lets it take the
  // foreground from this process.
  virtual void CallRunningCopyForward() = 0;
};

}  // namespace zc
