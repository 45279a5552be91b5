#pragma once
// The definitions download over WinHTTP: one synchronous GET of an http:// or https://
// address, parsed by the platform's URL cracker. No header is added, no credentials are
// given. The session takes the proxy set in Windows' settings (automatic proxy, Windows
// 8.1 and later); where that access type is refused it falls back to WinHTTP's default
// proxy. A client given a named proxy ("host:port", the machine policy for a run as
// LocalSystem) sends every request through that proxy instead. WinHTTP's own time limits stay as they are. The HTTP status is not examined: whatever body
// arrives is returned, converted from the ANSI code page and as its raw bytes, with the
// status beside it.

#include <cstddef>
#include <utility>

#include <windows.h>
#include <winhttp.h>

#include "core/platform/http_api.h"

namespace zc::win {

// WinHttpOpen's shape, so that a test can stand in for it.
using WinHttpOpenFunction = HINTERNET(WINAPI*)(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR bypass,
                                              DWORD flags);

// Opens a session with the system's automatic proxy, or with the default proxy where
// the system refuses the automatic one (ERROR_INVALID_PARAMETER before Windows 8.1).
HINTERNET OpenSessionWithSystemProxy(WinHttpOpenFunction open);

// Opens a session through the named proxy ("host:port") with no bypass list, or, with
// an empty name, as OpenSessionWithSystemProxy.
HINTERNET OpenSession(WinHttpOpenFunction open, TextView namedProxy);

class WinHttpClient final : public HttpApi {
 public:
  // A body longer than this is not read to its end: the request counts as failed. The
  // definitions set is a few kilobytes; the limit only keeps a wrong answer from
  // exhausting memory.
  static constexpr size_t kMaxBodyBytes = 32u << 20;

  // `namedProxy`: "host:port" to send every request through; empty: the system's proxy.
  explicit WinHttpClient(Text namedProxy = {}) : namedProxy_(std::move(namedProxy)) {}

  HttpResponse Get(TextView url) override;

 private:
  Text namedProxy_;
};

}  // namespace zc::win
