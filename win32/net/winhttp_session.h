#pragma once
// Opening the WinHTTP session with the proxy Windows is set to use. Windows 8.1 and later
// take WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY: the proxy of the user's settings, a PAC script
// or automatic discovery, as the browser uses. Older systems refuse that type with
// ERROR_INVALID_PARAMETER; there the session opens with WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
// the machine's WinHTTP setting (netsh winhttp), as before.

#include <windows.h>
#include <winhttp.h>

#include <functional>

namespace zc::win {

// WinHttpOpen's shape, so a test can stand in for it.
using WinHttpOpenFunction = std::function<HINTERNET(LPCWSTR agent, DWORD accessType, LPCWSTR proxy,
                                                    LPCWSTR bypass, DWORD flags)>;

// The session, or null with the last error of the attempt that failed (a refusal other
// than ERROR_INVALID_PARAMETER is not retried: it is no sign of an older system).
HINTERNET OpenSessionWithSystemProxy(const WinHttpOpenFunction& open);

}  // namespace zc::win
