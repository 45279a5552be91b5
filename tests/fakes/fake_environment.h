#pragma once
// Environment variables in memory, expanded as the platform expands them: %NAME% of a
// set variable (names compare ignoring letter case) becomes its value; anything else,
// an unset name or a lone %, stays as it is. Other users' variables are held per SID;
// a SID with no entry is a user whose variables cannot be had (no token of theirs).

#include <map>

#include "core/platform/environment_api.h"

namespace zc::fakes {

class FakeEnvironment : public EnvironmentApi {
 public:
  using Variables = std::map<Text, Text>;  // folded names

  Variables variables{{u"systemroot", u"C:\\Windows"}, {u"windir", u"C:\\Windows"},
                      {u"appdata", u"C:\\Users\\u\\AppData\\Roaming"}, {u"programfiles", u"C:\\Program Files"}};
  Text runningUserSid;               // its own SID expands with `variables`
  std::map<Text, Variables> users;   // other users' variables, by SID

  Text ExpandVariables(TextView text) override { return Expand(variables, text); }

  std::optional<Text> ExpandVariablesFor(TextView userSid, TextView text) override {
    if (userSid.empty() || userSid == runningUserSid) return Expand(variables, text);
    const auto user = users.find(Text(userSid));
    if (user == users.end()) return std::nullopt;
    return Expand(user->second, text);
  }

 private:
  static Text Expand(const Variables& set, TextView text) {
    Text out;
    size_t i = 0;
    while (i < text.size()) {
      const size_t open = text.find(u'%', i);
      if (open == TextView::npos) break;
      const size_t close = text.find(u'%', open + 1);
      if (close == TextView::npos) break;
      out += text.substr(i, open - i);
      auto it = set.find(FoldCase(text.substr(open + 1, close - open - 1)));
      if (it != set.end()) {
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
