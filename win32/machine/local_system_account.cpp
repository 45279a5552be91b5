#include "win32/machine/local_system_account.h"

#include <vector>

#include "win32/base/unique_handle.h"

namespace zc::win {

bool IsLocalSystemSid(PSID sid) {
  return sid && ::IsValidSid(sid) && ::IsWellKnownSid(sid, WinLocalSystemSid);
}

bool RunsAsLocalSystem() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  UniqueHandle token(opened);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
  return IsLocalSystemSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

}  // namespace zc::win
