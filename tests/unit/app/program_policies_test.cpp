// The machine's policies as stored under HKLM\SOFTWARE\Policies\ZombieCure: what is
// taken, what is ignored (with a log line) and never a crash; the same key under
// HKEY_CURRENT_USER or in the 32-bit view is not read; and the policy beats the user's
// own choice and the built-in address.

#include "core/app/program_policies.h"

#include <gtest/gtest.h>

#include <string>

#include "core/app/policy_precedence.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_raw_registry.h"
#include "tests/fakes/fake_registry.h"

namespace zc {
namespace {

using fakes::kHkeyCurrentUser;
using fakes::kHkeyLocalMachine;

constexpr char16_t kKey[] = u"SOFTWARE\\Policies\\ZombieCure";

RawRegistryValue TextValue(TextView text, uint32_t type = 1) {
  RawRegistryValue value{type, {}};
  for (const char16_t unit : text) {
    value.data.push_back(static_cast<uint8_t>(unit & 0xFF));
    value.data.push_back(static_cast<uint8_t>(unit >> 8));
  }
  value.data.push_back(0);  // the terminator Windows stores
  value.data.push_back(0);
  return value;
}

RawRegistryValue Number(uint32_t number, uint32_t type = 4) {
  return {type,
          {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number >> 16),
           static_cast<uint8_t>(number >> 24)}};
}

class ProgramPoliciesTest : public ::testing::Test {
 protected:
  ProgramPolicies Read() { return ReadProgramPolicies(registry, texts); }
  void Set(TextView name, RawRegistryValue value) { registry.Set(kHkeyLocalMachine, kKey, name, std::move(value)); }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeRawRegistry registry;
};

TEST_F(ProgramPoliciesTest, NothingSetMeansNoPolicyAndNoLogLine) {
  const ProgramPolicies policies = Read();
  EXPECT_TRUE(policies.definitionsAddress.empty());
  EXPECT_TRUE(policies.localSystemProxy.empty());
  EXPECT_FALSE(policies.neverOpenHomepage);
  EXPECT_FALSE(policies.startAtLogonForAllUsers);
  EXPECT_TRUE(policies.ignored.empty());
}

TEST_F(ProgramPoliciesTest, TheDefinitionsAddressIsTakenOnlyAsAPlainHttpOrHttpsAddress) {
  const Text longest = u"https://mirror.example/" + Text(2048 - 23, u'a');
  struct Case {
    const char* what;
    RawRegistryValue stored;
    Text taken;       // empty: ignored
    const char* why;  // a piece of the log line; nullptr: no line
  };
  const Case cases[] = {
      {"https mirror", TextValue(u"https://mirror.corp.example/zc/defs.txt"),
       u"https://mirror.corp.example/zc/defs.txt", nullptr},
      {"http with port", TextValue(u"http://10.1.2.3:8080/defs"), u"http://10.1.2.3:8080/defs", nullptr},
      {"blanks around", TextValue(u"  http://mirror/defs\t"), u"http://mirror/defs", nullptr},
      {"ends at the first zero", TextValue(Text(u"http://mirror/defs") + u'\0' + u"junk"), u"http://mirror/defs",
       nullptr},
      {"2048 units", TextValue(longest), longest, nullptr},
      {"2049 units", TextValue(longest + u"a"), {}, "DefinitionsAddress"},
      {"ftp", TextValue(u"ftp://mirror/defs"), {}, "ftp://mirror/defs"},
      {"a file", TextValue(u"file:///C:/defs.txt"), {}, "file:///C:/defs.txt"},
      {"a bare path", TextValue(u"\\\\server\\share\\defs.txt"), {}, "DefinitionsAddress"},
      {"a blank inside", TextValue(u"http://mirror/my defs"), {}, "DefinitionsAddress"},
      {"a query", TextValue(u"http://mirror/get?set=zc"), {}, ".sig"},
      {"a fragment", TextValue(u"http://mirror/defs#x"), {}, ".sig"},
      {"empty", TextValue(u""), {}, "DefinitionsAddress"},
      {"only blanks", TextValue(u"   "), {}, "DefinitionsAddress"},
      {"expandable text", TextValue(u"http://mirror/defs", 2), {}, "DefinitionsAddress"},
      {"multiple texts", TextValue(u"http://mirror/defs", 7), {}, "DefinitionsAddress"},
      {"a number", Number(1), {}, "DefinitionsAddress"},
      {"an odd byte count", RawRegistryValue{1, {'h', 0, 't'}}, {}, "DefinitionsAddress"},
      {"no data", RawRegistryValue{1, {}}, {}, "DefinitionsAddress"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry = {};
    Set(u"DefinitionsAddress", c.stored);
    const ProgramPolicies policies = Read();
    EXPECT_EQ(policies.definitionsAddress, c.taken);
    if (c.why) {
      ASSERT_EQ(policies.ignored.size(), 1u);
      const std::string line = ToUtf8(policies.ignored[0]);
      EXPECT_EQ(line.rfind(ToUtf8(texts.Get(enc::PolicyIgnored)), 0), 0u) << line;
      EXPECT_NE(line.find(c.why), std::string::npos) << line;
      EXPECT_LT(line.size(), 400u) << "a long value is quoted shortened";
    } else {
      EXPECT_TRUE(policies.ignored.empty());
    }
  }
}

TEST_F(ProgramPoliciesTest, TheProxyIsTakenOnlyAsHostAndPort) {
  struct Case {
    const char* stored;
    bool taken;
  };
  const Case cases[] = {
      {"proxy.corp.example:8080", true},
      {"10.0.0.1:3128", true},
      {"[fd00::1]:8080", true},
      {"proxy:1", true},
      {"proxy:65535", true},
      {"proxy:65536", false},
      {"proxy:0", false},
      {"proxy:123456", false},
      {"proxy", false},
      {"proxy:", false},
      {":8080", false},
      {"http://proxy:8080", false},
      {"pro xy:8080", false},
      {"proxy:80;other:81", false},
      {"fd00::1:8080", false},
      {"[]:8080", false},
      {"[fd00::g]:8080", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    registry = {};
    Set(u"LocalSystemProxy", TextValue(FromUtf8(c.stored)));
    const ProgramPolicies policies = Read();
    EXPECT_EQ(policies.localSystemProxy, c.taken ? FromUtf8(c.stored) : Text());
    EXPECT_EQ(policies.ignored.size(), c.taken ? 0u : 1u);
  }
}

TEST_F(ProgramPoliciesTest, TheTwoSwitchesAreOnOnlyForTheNumberOne) {
  struct Case {
    const char* what;
    RawRegistryValue stored;
    bool on;
    bool logged;
  };
  const Case cases[] = {
      {"1", Number(1), true, false},
      {"0", Number(0), false, false},
      {"2", Number(2), false, true},
      {"0xFFFFFFFF", Number(0xFFFFFFFFu), false, true},
      {"the text 1", TextValue(u"1"), false, true},
      {"four bytes of binary", Number(1, 3), false, true},
      {"a big-endian number", Number(1, 5), false, true},
      {"eight bytes", RawRegistryValue{4, {1, 0, 0, 0, 0, 0, 0, 0}}, false, true},
      {"a 64-bit number", RawRegistryValue{11, {1, 0, 0, 0, 0, 0, 0, 0}}, false, true},
      {"no data", RawRegistryValue{4, {}}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry = {};
    Set(u"NeverOpenHomepage", c.stored);
    Set(u"StartAtLogonForAllUsers", c.stored);
    const ProgramPolicies policies = Read();
    EXPECT_EQ(policies.neverOpenHomepage, c.on);
    EXPECT_EQ(policies.startAtLogonForAllUsers, c.on);
    ASSERT_EQ(policies.ignored.size(), c.logged ? 2u : 0u);
    if (c.logged) {
      EXPECT_NE(ToUtf8(policies.ignored[0]).find("NeverOpenHomepage"), std::string::npos);
      EXPECT_NE(ToUtf8(policies.ignored[1]).find("StartAtLogonForAllUsers"), std::string::npos);
    }
  }
}

// A user can write HKCU\Software\Policies, and a 32-bit program HKLM's 32-bit branch:
// neither is where an administrator's policy lives.
TEST_F(ProgramPoliciesTest, OnlyTheMachines64BitPolicyKeyIsRead) {
  for (const auto& [root, key] : {std::pair{kHkeyCurrentUser, Text(kKey)},
                                  std::pair{kHkeyLocalMachine, Text(u"SOFTWARE\\WOW6432Node\\Policies\\ZombieCure")}}) {
    registry = {};
    registry.Set(root, key, u"DefinitionsAddress", TextValue(u"http://attacker.example/defs"));
    registry.Set(root, key, u"LocalSystemProxy", TextValue(u"attacker.example:80"));
    registry.Set(root, key, u"NeverOpenHomepage", Number(1));
    registry.Set(root, key, u"StartAtLogonForAllUsers", Number(1));
    const ProgramPolicies policies = Read();
    EXPECT_TRUE(policies.definitionsAddress.empty()) << ToUtf8(key);
    EXPECT_TRUE(policies.localSystemProxy.empty());
    EXPECT_FALSE(policies.neverOpenHomepage);
    EXPECT_FALSE(policies.startAtLogonForAllUsers);
  }
}

TEST_F(ProgramPoliciesTest, AKeyThatCannotBeReadCountsAsNoPolicy) {
  Set(u"NeverOpenHomepage", Number(1));
  registry.deniedKeys.insert({kHkeyLocalMachine, FoldCase(kKey)});
  const ProgramPolicies policies = Read();
  EXPECT_FALSE(policies.neverOpenHomepage);
  EXPECT_TRUE(policies.ignored.empty());
}

// Policy set, not set or unusable, against the user's own choice: what the program goes by.
TEST_F(ProgramPoliciesTest, ASetPolicyWinsAndAnUnusableOneLeavesTheUsersChoice) {
  struct Case {
    const char* what;
    std::optional<RawRegistryValue> stored;  // StartAtLogonForAllUsers
    bool userOptionOn;
    bool startsAtLogon;
    bool userChooses;
  };
  const Case cases[] = {
      {"not set, user off", std::nullopt, false, false, true},
      {"not set, user on", std::nullopt, true, true, true},
      {"1, user off", Number(1), false, true, false},
      {"1, user on", Number(1), true, true, false},
      {"0, user on", Number(0), true, true, true},
      {"0, user off", Number(0), false, false, true},
      {"7, user off", Number(7), false, false, true},
      {"the text 1, user off", TextValue(u"1"), false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry = {};
    if (c.stored) Set(u"StartAtLogonForAllUsers", *c.stored);
    const ProgramPolicies policies = Read();
    EXPECT_EQ(StartsAtLogon(policies, c.userOptionOn), c.startsAtLogon);
    EXPECT_EQ(UserChoosesStartAtLogon(policies), c.userChooses);
  }
}

TEST_F(ProgramPoliciesTest, TheAddressTheProxyAndTheHomepageGoByAUsablePolicyOnly) {
  const Text builtIn = u"https://publisher.example/defs.txt";
  struct Case {
    const char* what;
    const char* address;  // stored DefinitionsAddress; nullptr: not set
    const char* proxy;    // stored LocalSystemProxy
    uint32_t homepage;    // stored NeverOpenHomepage; 9: not set
    const char* effectiveAddress;
    const char* proxyAsSystem;
    bool mayOpenHomepage;
  };
  const Case cases[] = {
      {"nothing set", nullptr, nullptr, 9, "https://publisher.example/defs.txt", "", true},
      {"all set", "http://mirror/defs", "proxy:8080", 1, "http://mirror/defs", "proxy:8080", false},
      {"all unusable", "ftp://mirror/defs", "proxy", 2, "https://publisher.example/defs.txt", "", true},
      {"homepage allowed", nullptr, nullptr, 0, "https://publisher.example/defs.txt", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry = {};
    if (c.address) Set(u"DefinitionsAddress", TextValue(FromUtf8(c.address)));
    if (c.proxy) Set(u"LocalSystemProxy", TextValue(FromUtf8(c.proxy)));
    if (c.homepage != 9) Set(u"NeverOpenHomepage", Number(c.homepage));
    const ProgramPolicies policies = Read();
    EXPECT_EQ(EffectiveDefinitionsAddress(policies.definitionsAddress, builtIn), FromUtf8(c.effectiveAddress));
    EXPECT_EQ(EffectiveProxy(policies, true), FromUtf8(c.proxyAsSystem));
    EXPECT_EQ(EffectiveProxy(policies, false), Text()) << "a user's run keeps the system's proxy";
    EXPECT_EQ(MayOpenHomepage(policies), c.mayOpenHomepage);
  }
}

}  // namespace
}  // namespace zc
