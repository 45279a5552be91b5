#pragma once
// One synchronous HTTP GET, no extra header, no credentials, no proxy setting.

#include <string>

#include "core/base/text.h"

namespace zc {

struct HttpResponse {
  bool sent = false;  // false: the request could not be opened or sent
  Text body;          // the body bytes converted through the ANSI code page
  Text error;         // what failed, for the user's error report, when !sent
  std::string bytes;  // the body exactly as it arrived, for signature checks
  int status = 0;     // the HTTP status code, when sent
};

class HttpApi {
 public:
  virtual ~HttpApi() = default;

  // The HTTP status is not examined: whatever body arrives is returned.
  virtual HttpResponse Get(TextView url) = 0;
};

}  // namespace zc
