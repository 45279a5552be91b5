// Runs against real local HTTP servers that run_with_servers.sh starts on loopback:
//   ZC_TEST_HTTP_PORT          serves the file ZC_TEST_WIRE_FILE at /zombie/definitions.txt
//   ZC_TEST_HTTP_404_PORT      answers every request with 404 and an HTML page
//   ZC_TEST_HTTP_REFUSED_PORT  nobody listens there
#include "win32/net/winhttp_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cstdlib>
#include <fstream>

#include "core/crypto/text_cipher.h"
#include "core/definitions/load_definitions.h"
#include "win32/base/ansi.h"
#include "win32/machine/local_system_account.h"

namespace zc::win {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

Text Address(const char* portVariable, const char* path = "/zombie/definitions.txt") {
  return FromAscii("http://127.0.0.1:" + Env(portVariable) + path);
}

class WinHttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Env("ZC_TEST_HTTP_PORT").empty() || Env("ZC_TEST_WIRE_FILE").empty())
      GTEST_SKIP() << "run through run_with_servers.sh, which starts the servers";
  }

  // The served file is read afresh for each request.
  static void Serve(const std::string& bytes) {
    std::ofstream file(Env("ZC_TEST_WIRE_FILE"), std::ios::binary | std::ios::trunc);
    file << bytes;
    ASSERT_TRUE(file.good());
  }

  WinHttpClient client_;
};

TEST_F(WinHttpClientTest, ReturnsTheBodyConvertedFromTheAnsiCodePage) {
  ASSERT_EQ(::GetACP(), 949u);
  Serve("\xC1\xBB\xBA\xF1@@def\r\n");  // "좀비" in code page 949
  const HttpResponse response = client_.Get(Address("ZC_TEST_HTTP_PORT"));
  ASSERT_TRUE(response.sent) << ToUtf8(response.error);
  EXPECT_EQ(response.body, u"좀비@@def\r\n");
  EXPECT_EQ(response.bytes, "\xC1\xBB\xBA\xF1@@def\r\n");  // as received, for the signature check
  EXPECT_EQ(response.status, 200);

  // The query goes to the server with the path.
  EXPECT_TRUE(client_.Get(Address("ZC_TEST_HTTP_PORT", "/zombie/definitions.txt?x=1")).sent);
}

TEST_F(WinHttpClientTest, ADownloadedSetParsesAsTheProgramReadsIt) {
  SilentFailureReporter silent;
  auto enc = [&](const char16_t* plain) { return ToUtf8(EncryptText(plain, kTextKey, silent)); };
  const std::string wire = "@@" + enc(u"|:48121|") + "@@@@" + enc(u"|:48123|") + "@@@@" + enc(u"2") + "@@@@" +
                           enc(u"http://127.0.0.1/") + "@@@@" + enc(u"ZcTestAutorun") + "@@@@" + enc(u"ZcTestSvc") +
                           "@@@@" + enc(u":48129") + "@@\n";
  Serve(wire);
  const HttpResponse response = client_.Get(Address("ZC_TEST_HTTP_PORT"));
  ASSERT_TRUE(response.sent) << ToUtf8(response.error);

  ConstantTexts texts(silent);
  DefinitionsSet set;
  ASSERT_TRUE(ParseDefinitions(response.body, texts, set).ok());
  ASSERT_TRUE(FillPatternTables(set).ok());
  EXPECT_EQ(set.InputTunnelTable[0], u":48121");
  EXPECT_THAT(set.ServiceNameList, ElementsAre(u"ZcTestSvc"));
  EXPECT_EQ(set.HomepageUrl, u"http://127.0.0.1/");
}

TEST_F(WinHttpClientTest, AnErrorPageIsReturnedAsItsBodyAndFailsTheParse) {
  const HttpResponse response = client_.Get(Address("ZC_TEST_HTTP_404_PORT"));
  ASSERT_TRUE(response.sent) << ToUtf8(response.error);
  EXPECT_THAT(ToUtf8(response.body), HasSubstr("404 Not Found"));
  EXPECT_EQ(response.status, 404);

  SilentFailureReporter silent;
  ConstantTexts texts(silent);
  DefinitionsSet set;
  EXPECT_EQ(ParseDefinitions(response.body, texts, set).error, DefinitionsError::TooFewElements);
}

TEST_F(WinHttpClientTest, ARefusedConnectionIsARequestNotSent) {
  const HttpResponse response = client_.Get(Address("ZC_TEST_HTTP_REFUSED_PORT"));
  EXPECT_FALSE(response.sent);
  EXPECT_TRUE(response.body.empty());
  EXPECT_THAT(ToUtf8(response.error), HasSubstr("WinHttpSendRequest failed (error 12029"));
}

TEST_F(WinHttpClientTest, AddressesThatCannotBeRequestedAreReported) {
  const char16_t* addresses[] = {u"", u"not an address", u"ftp://127.0.0.1/x", u"http://", u"file:///C:/x"};
  for (const char16_t* address : addresses) {
    const HttpResponse response = client_.Get(address);
    EXPECT_FALSE(response.sent) << ToUtf8(address);
    EXPECT_FALSE(response.error.empty()) << ToUtf8(address);
  }
}

TEST_F(WinHttpClientTest, AnHttpsAddressIsRequestedOverTls) {
  // The local server speaks plain HTTP, so the secure handshake fails: the request is
  // sent as https and its failure reported, not answered in the clear.
  const Text address = u"https://127.0.0.1:" + FromAscii(Env("ZC_TEST_HTTP_PORT")) + u"/zombie/definitions.txt";
  const HttpResponse response = client_.Get(address);
  EXPECT_FALSE(response.sent);
  EXPECT_FALSE(response.error.empty());
}

TEST_F(WinHttpClientTest, ATwentyMegabyteBodyArrivesWholeAndALargerOneIsRefused) {
  Serve(std::string(20u << 20, 'A') + "@@tail");
  HttpResponse response = client_.Get(Address("ZC_TEST_HTTP_PORT"));
  ASSERT_TRUE(response.sent) << ToUtf8(response.error);
  EXPECT_EQ(response.body.size(), (20u << 20) + 6);
  EXPECT_EQ(response.body.substr(response.body.size() - 6), u"@@tail");

  EXPECT_FALSE(response.bodyTooLong);

  // Refused as too long, not as a request that could not be sent.
  Serve(std::string(WinHttpClient::kMaxBodyBytes + 1, 'A'));
  response = client_.Get(Address("ZC_TEST_HTTP_PORT"));
  EXPECT_TRUE(response.sent);
  EXPECT_TRUE(response.bodyTooLong);
  EXPECT_TRUE(response.body.empty());
  EXPECT_THAT(ToUtf8(response.error), HasSubstr("longer than 32 MiB"));
}

// The session asks for the proxy set in Windows' settings; a system that refuses that
// access type (before Windows 8.1) gets WinHTTP's default proxy instead, and a failure
// of any other kind is not retried.
struct OpenCalls {
  static inline std::vector<DWORD> accessTypes;
  static inline std::vector<std::wstring> proxies;  // "-" for no name
  static inline std::vector<bool> bypassLists;
  static inline DWORD refuseAutomaticWith = 0;
  static HINTERNET WINAPI Open(LPCWSTR, DWORD accessType, LPCWSTR proxy, LPCWSTR bypass, DWORD) {
    accessTypes.push_back(accessType);
    proxies.push_back(proxy ? proxy : L"-");
    bypassLists.push_back(bypass != nullptr);
    if (accessType == 4 && refuseAutomaticWith != 0) {
      ::SetLastError(refuseAutomaticWith);
      return nullptr;
    }
    return reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(0x1000 + accessType));
  }
};

TEST(WinHttpSessionTest, TheSystemsProxyIsAskedForFirst) {
  struct Case {
    DWORD refusal;
    std::vector<DWORD> accessTypes;
    uintptr_t session;
  };
  const Case cases[] = {
      {0, {4}, 0x1004},
      {ERROR_INVALID_PARAMETER, {4, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY}, 0x1000},
      {ERROR_NOT_ENOUGH_MEMORY, {4}, 0},
  };
  for (const Case& c : cases) {
    OpenCalls::accessTypes.clear();
    OpenCalls::refuseAutomaticWith = c.refusal;
    const HINTERNET session = OpenSessionWithSystemProxy(&OpenCalls::Open);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(session), c.session) << c.refusal;
    EXPECT_EQ(OpenCalls::accessTypes, c.accessTypes) << c.refusal;
  }
  // The real call, whichever way this system answers, gives a session.
  HINTERNET real = OpenSessionWithSystemProxy(&::WinHttpOpen);
  ASSERT_NE(real, nullptr);
  ::WinHttpCloseHandle(real);
}

// The machine policy's proxy for a run as LocalSystem: every request goes to it, with no
// bypass list and no fallback to the system's proxy.
TEST(WinHttpSessionTest, ANamedProxyIsUsedAsItIsGiven) {
  OpenCalls::accessTypes.clear();
  OpenCalls::proxies.clear();
  OpenCalls::bypassLists.clear();
  OpenCalls::refuseAutomaticWith = ERROR_INVALID_PARAMETER;
  const HINTERNET session = OpenSession(&OpenCalls::Open, u"proxy.corp.example:8080");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(session), 0x1000u + WINHTTP_ACCESS_TYPE_NAMED_PROXY);
  EXPECT_EQ(OpenCalls::accessTypes, std::vector<DWORD>{WINHTTP_ACCESS_TYPE_NAMED_PROXY});
  EXPECT_EQ(OpenCalls::proxies, std::vector<std::wstring>{L"proxy.corp.example:8080"});
  EXPECT_EQ(OpenCalls::bypassLists, std::vector<bool>{false});

  OpenCalls::accessTypes.clear();
  OpenCalls::proxies.clear();
  OpenCalls::refuseAutomaticWith = 0;
  OpenSession(&OpenCalls::Open, u"");
  EXPECT_EQ(OpenCalls::accessTypes, std::vector<DWORD>{4}) << "no name: the system's proxy";
  EXPECT_EQ(OpenCalls::proxies, std::vector<std::wstring>{L"-"});
}

// Through a named proxy the request goes to the proxy, never to the address's own host:
// a host name that resolves nowhere still gets the answer of the local 404 server that
// stands for the proxy.
TEST(WinHttpSessionTest, ARequestGoesToTheNamedProxy) {
  if (Env("ZC_TEST_HTTP_404_PORT").empty()) GTEST_SKIP() << "run through run_with_servers.sh";
  WinHttpClient client(FromAscii("127.0.0.1:" + Env("ZC_TEST_HTTP_404_PORT")));
  const HttpResponse response = client.Get(u"http://mirror.invalid/zombie/definitions.txt");
  ASSERT_TRUE(response.sent) << ToUtf8(response.error);
  EXPECT_EQ(response.status, 404);
}

// The account check behind the proxy choice: only S-1-5-18.
TEST(LocalSystemAccountTest, OnlyTheLocalSystemSidCounts) {
  for (const auto& [text, isSystem] : {std::pair{L"S-1-5-18", true}, std::pair{L"S-1-5-19", false},
                                       std::pair{L"S-1-5-20", false}, std::pair{L"S-1-5-32-544", false},
                                       std::pair{L"S-1-5-21-1-2-3-1001", false}}) {
    PSID sid = nullptr;
    ASSERT_TRUE(::ConvertStringSidToSidW(text, &sid));
    EXPECT_EQ(IsLocalSystemSid(sid), isSystem) << text;
    ::LocalFree(sid);
  }
  EXPECT_FALSE(IsLocalSystemSid(nullptr));
}

}  // namespace
}  // namespace zc::win
