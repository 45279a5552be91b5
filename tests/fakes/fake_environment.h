#pragma once
// Environment variables in memory, expanded as the platform expands them: %NAME% of a
// set variable (names compare ignoring letter case) becomes its value; anything else,
// an unset name or a lone %, stays as it is.

#include <map>

#include "core/platform/environment_api.h"

namespace zc::fakes {

class FakeEnvironment : public EnvironmentApi {
 public:
  std::map<Text, Text> variables{{u"systemroot", u"C:\\Windows"}, {u"windir", u"C:\\Windows"},
                                 {u"appdata", u"C:\\Users\\u\\AppData\\Roaming"},
                                 {u"programfiles", u"C:\\Program Files"}};

  Text ExpandVariables(TextView text) override {
    Text out;
    size_t i = 0;
    while (i < text.size()) {
      const size_t open = text.find(u'%', i);
      if (open == TextView::npos) break;
      const size_t close = text.find(u'%', open + 1);
      if (close == TextView::npos) break;
      out += text.substr(i, open - i);
      auto it = variables.find(FoldCase(text.substr(open + 1, close - open - 1)));
      if (it != variables.end()) {
        out += it->second;
        i = close + 1;
      } else {
        out += text.substr(open, close - open);  // the unset name stays; its closing % may open the next
        i = close;
      }
    }
    out += text.substr(i);
    return out;
  }
};

}  // namespace zc::fakes
