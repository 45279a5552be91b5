#include "win32/machine/user_token.h"

#include <wtsapi32.h>

#include <string>

#include "win32/base/token_user.h"
#include "win32/machine/shell_token.h"

namespace zc::win {
namespace {

bool TokenIsUser(HANDLE token, const std::wstring& sid) {
  const std::optional<std::wstring> user = TokenUserSidText(token);
  return user && _wcsicmp(user->c_str(), sid.c_str()) == 0;
}

// The shell's token when the shell runs as that user.
UniqueHandle ShellToken(const std::wstring& sid) {
  UniqueHandle token = ShellProcessToken(TOKEN_QUERY | TOKEN_DUPLICATE);
  return token && TokenIsUser(token.get(), sid) ? std::move(token) : UniqueHandle();
}

// As LocalSystem: the token of a session that user is logged on to (WTSQueryUserToken
// answers LocalSystem alone; any other caller gets nothing).
UniqueHandle SessionToken(const std::wstring& sid) {
  WTS_SESSION_INFOW* sessions = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) return {};
  UniqueHandle found;
  for (DWORD i = 0; i < count && !found; ++i) {
    UniqueHandle token;
    if (WTSQueryUserToken(sessions[i].SessionId, token.put()) && TokenIsUser(token.get(), sid)) found = std::move(token);
  }
  WTSFreeMemory(sessions);
  return found;
}

}  // namespace

UniqueHandle TokenOfUser(std::wstring_view sid) {
  const std::wstring text(sid);
  if (text.empty()) return {};
  UniqueHandle token = ShellToken(text);
  if (!token) token = SessionToken(text);
  return token;
}

}  // namespace zc::win
