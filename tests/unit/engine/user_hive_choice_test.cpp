// Whose hive the autorun check reads, by who runs, who is at the keyboard and whether
// the token is elevated.

#include "core/platform/user_hives_api.h"

#include <gtest/gtest.h>

namespace zc {
namespace {

constexpr char16_t kPerson[] = u"S-1-5-21-1-2-3-1001";
constexpr char16_t kAdmin[] = u"S-1-5-21-1-2-3-500";
constexpr char16_t kOther[] = u"S-1-5-21-1-2-3-1002";

TEST(UserHiveChoiceTest, TheHiveOfThePersonAtTheKeyboard) {
  struct Case {
    const char* who;
    UserHives hives;
    bool current;
    std::vector<Text> sids;
  };
  const std::vector<Text> loaded = {kPerson, kAdmin, kOther};
  const Case cases[] = {
      {"a user, unelevated", {false, false, Text(kPerson), Text(kPerson), loaded, {}}, true, {}},
      {"an administrator elevated at their own keyboard", {false, true, Text(kAdmin), Text(kAdmin), loaded, {}},
       true, {}},
      {"an administrator elevated over the person's shoulder", {false, true, Text(kAdmin), Text(kPerson), loaded, {}},
       false, {kPerson}},
      // What an unelevated copy cannot read it does not try: no other hive opens to it.
      {"unelevated, another user's shell", {false, false, Text(kAdmin), Text(kPerson), loaded, {}}, true, {}},
      {"an administrator in a session without a shell", {false, true, Text(kAdmin), std::nullopt, loaded, {}}, true,
       {kPerson, kOther}},
      {"LocalSystem", {true, true, Text(u"S-1-5-18"), std::nullopt, loaded, {u"C:\\Users\\away"}}, false,
       {kPerson, kAdmin, kOther}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.who);
    const UserHiveChoice choice = ChooseUserHives(c.hives);
    EXPECT_EQ(choice.current, c.current);
    EXPECT_EQ(choice.sids, c.sids);
  }
  const UserHiveChoice system = ChooseUserHives(cases[5].hives);
  EXPECT_EQ(system.notLoaded, (std::vector<Text>{u"C:\\Users\\away"}));
}

}  // namespace
}  // namespace zc
