#pragma once
// The process token's elevation (GetTokenInformation(TokenElevation)) and the elevated
// restart through the shell's "runas" verb, which shows the system's consent prompt.

#include "core/platform/elevation_api.h"

namespace zc::win {

class Win32Elevation : public ElevationApi {
 public:
  // A token that cannot be read counts as not elevated: the user is then asked, and
  // the worst case is a prompt too many.
  bool IsElevated() override;
  // ShellExecuteExW("runas", this program's own path, `arguments`). ERROR_CANCELLED
  // when the user declined.
  SystemError StartElevated(TextView arguments) override;
};

}  // namespace zc::win
