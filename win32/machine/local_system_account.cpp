#include "win32/machine/local_system_account.h"

#include <vector>

#include "win32/base/token_user.h"

namespace zc::win {

bool IsLocalSystemSid(PSID sid) {
  return sid && ::IsValidSid(sid) && ::IsWellKnownSid(sid, WinLocalSystemSid);
}

bool RunsAsLocalSystem() {
  std::vector<BYTE> user = ProcessUserBytes();
  return !user.empty() && IsLocalSystemSid(UserSidIn(user));
}

}  // namespace zc::win
