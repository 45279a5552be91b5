#include "win32/net/winhttp_session.h"

namespace zc::win {

HINTERNET OpenSessionWithSystemProxy(const WinHttpOpenFunction& open) {
  HINTERNET session =
      open(nullptr, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (session || ::GetLastError() != ERROR_INVALID_PARAMETER) return session;
  return open(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

}  // namespace zc::win
