#pragma once
// The definitions download over WinHTTP: one synchronous GET of an http:// or https://
// address, parsed by the platform's URL cracker. No header is added, no credentials are
// given and the program sets no proxy (the machine's WinHTTP default applies). WinHTTP's
// own time limits stay as they are. The HTTP status is not examined: whatever body
// arrives is returned, converted from the ANSI code page and as its raw bytes, with the
// status beside it.

#include <cstddef>

#include "core/platform/http_api.h"

namespace zc::win {

class WinHttpClient final : public HttpApi {
 public:
  // A body longer than this is not read to its end: the request counts as failed. The
  // definitions set is a few kilobytes; the limit only keeps a wrong answer from
  // exhausting memory.
  static constexpr size_t kMaxBodyBytes = 32u << 20;

  HttpResponse Get(TextView url) override;
};

}  // namespace zc::win
