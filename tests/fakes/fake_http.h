#pragma once
// HTTP answers by address; an unknown address is a request that cannot be sent, and an
// address in `tooLong` answers with a body longer than the client takes.

#include <map>
#include <set>
#include <vector>

#include "core/platform/http_api.h"

namespace zc::fakes {

class FakeHttp : public HttpApi {
 public:
  std::map<Text, Text> bodies;
  std::set<Text> tooLong;
  std::vector<Text> requests;

  HttpResponse Get(TextView url) override {
    requests.emplace_back(url);
    if (tooLong.count(Text(url)) != 0) return {true, {}, u"the answer is longer than 32 MiB", true};
    auto it = bodies.find(Text(url));
    if (it == bodies.end()) return {false, {}, u"connection refused"};
    return {true, it->second, {}};
  }
};

}  // namespace zc::fakes
