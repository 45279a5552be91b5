#pragma once
// HTTP answers by address; an unknown address is a request that cannot be sent. A body
// given as text arrives as its UTF-8 bytes (the wire texts are ASCII); `rawBodies` gives
// the exact bytes instead, `statuses` another status than 200, and an address in
// `tooLong` answers with a body longer than the client takes.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/platform/http_api.h"

namespace zc::fakes {

class FakeHttp : public HttpApi {
 public:
  std::map<Text, Text> bodies;
  std::map<Text, std::string> rawBodies;
  std::map<Text, int> statuses;
  std::set<Text> tooLong;
  std::vector<Text> requests;

  HttpResponse Get(TextView url) override {
    requests.emplace_back(url);
    const Text address(url);
    HttpResponse response;
    if (tooLong.count(address) != 0) {
      response.sent = true;
      response.status = 200;
      response.bodyTooLong = true;
      response.error = u"the answer is longer than 32 MiB";
      return response;
    }
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
