#pragma once
// HTTP answers by address; an unknown address is a request that cannot be sent. A body
// given as text arrives as its UTF-8 bytes (the wire texts are ASCII); `rawBodies` gives
// the exact bytes instead, and `statuses` another status than 200.

#include <map>
#include <string>
#include <vector>

#include "core/platform/http_api.h"

namespace zc::fakes {

class FakeHttp : public HttpApi {
 public:
  std::map<Text, Text> bodies;
  std::map<Text, std::string> rawBodies;
  std::map<Text, int> statuses;
  std::vector<Text> requests;

  HttpResponse Get(TextView url) override {
    requests.emplace_back(url);
    const Text address(url);
    HttpResponse response;
    if (auto raw = rawBodies.find(address); raw != rawBodies.end()) {
      response.bytes = raw->second;
      response.body = FromUtf8(raw->second);
    } else if (auto it = bodies.find(address); it != bodies.end()) {
      response.body = it->second;
      response.bytes = ToUtf8(it->second);
    } else {
      response.error = u"connection refused";
      return response;
    }
    response.sent = true;
    auto status = statuses.find(address);
    response.status = status == statuses.end() ? 200 : status->second;
    return response;
  }
};

}  // namespace zc::fakes
