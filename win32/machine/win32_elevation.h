#pragma once
// The process token's elevation (GetTokenInformation(TokenElevation) and
// TokenElevationType), the elevated restart through the shell's "runas" verb, which shows
// the system's consent prompt, and the hand-over to the elevated copy: the "runas" start
// with SEE_MASK_NOCLOSEPROCESS, then a wait on the new process's handle
// (MsgWaitForMultipleObjectsEx, this thread's window messages dispatched meanwhile)
// until that copy posts the "ready" message with its process id, or ends.

#include <string>

#include "core/platform/elevation_api.h"

namespace zc::win {

// The hand-over's start and wait for `program`: "runas" with SEE_MASK_NOCLOSEPROCESS, then
// the wait on the process (this thread's messages dispatched) for its "ready" or its end.
HandOverResult StartElevatedAndWaitUntilReady(const std::wstring& program, TextView arguments);

class Win32Elevation : public ElevationApi {
 public:
  // A token that cannot be read counts as not elevated: the user is then asked, and
  // the worst case is a prompt too many.
  bool IsElevated() override;
  // TokenElevationTypeFull. A type that cannot be read counts as the elevated copy when
  // the token is elevated (nothing is written into a hive that may not be the user's).
  // Wine reports the full type for every process of its one account, which has no
  // limited half: there no copy is the elevated copy of another account.
  bool IsElevatedCopy() override;
  // ShellExecuteExW("runas", this program's own path, `arguments`). ERROR_CANCELLED
  // when the user declined.
  SystemError StartElevated(TextView arguments) override;
  HandOverResult HandOverToElevatedCopy(TextView arguments) override;
  // PostMessageW(HWND_BROADCAST, the "ready" message, this process's id).
  void AnnounceReady() override;
};

}  // namespace zc::win
