#pragma once
// The definitions download over WinHTTP: one synchronous GET of an http:// or https://
// address, parsed by the platform's URL cracker. No header is added, no credentials are
// given; the session takes the proxy Windows is set to use (winhttp_session.h). WinHTTP's
// own time limits stay as they are. The HTTP status is not examined: whatever body
// arrives is returned, converted from the ANSI code page and as its raw bytes, with the
// status beside it.

#include <cstddef>
#include <utility>

#include "core/platform/http_api.h"
#include "win32/net/winhttp_session.h"

namespace zc::win {

class WinHttpClient final : public HttpApi {
 public:
  // A body longer than this is not read to its end: the request counts as failed. The
  // definitions set is a few kilobytes; the limit only keeps a wrong answer from
  // exhausting memory.
  static constexpr size_t kMaxBodyBytes = 32u << 20;

  // open stands in for WinHttpOpen (tests); the default is the real one.
  explicit WinHttpClient(WinHttpOpenFunction open = ::WinHttpOpen) : open_(std::move(open)) {}

  HttpResponse Get(TextView url) override;

 private:
  WinHttpOpenFunction open_;
};

}  // namespace zc::win
