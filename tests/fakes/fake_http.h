#pragma once
// HTTP answers by address; an unknown address is a request that cannot be sent.

#include <map>
#include <vector>

#include "core/platform/http_api.h"

namespace zc::fakes {

class FakeHttp : public HttpApi {
 public:
  std::map<Text, Text> bodies;
  std::vector<Text> requests;

  HttpResponse Get(TextView url) override {
    requests.emplace_back(url);
    auto it = bodies.find(Text(url));
    if (it == bodies.end()) return {false, {}, u"connection refused"};
    return {true, it->second, {}};
  }
};

}  // namespace zc::fakes
