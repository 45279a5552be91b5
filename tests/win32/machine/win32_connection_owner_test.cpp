#include "win32/machine/win32_connection_owner.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// A listener at 127.0.0.1 and a connection to it, held by the test's own process.
class OwnLoopbackPair {
 public:
  OwnLoopbackPair() {
    WSADATA winsock{};
    started_ = ::WSAStartup(MAKEWORD(2, 2), &winsock) == 0;
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      return;
    }
    connection_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    connected_ = ::connect(connection_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }
  ~OwnLoopbackPair() {
    if (connection_ != INVALID_SOCKET) ::closesocket(connection_);
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    if (started_) ::WSACleanup();
  }
  bool connected() const { return connected_; }

 private:
  bool started_ = false;
  bool connected_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET connection_ = INVALID_SOCKET;
};

TEST(Win32ConnectionOwnerTest, AProgramsOwnConnectionsNameNoService) {
  OwnLoopbackPair pair;
  ASSERT_TRUE(pair.connected());
  Win32ConnectionOwner owner;
  const std::optional<std::vector<Text>> services = owner.ServicesOwningConnections(::GetCurrentProcessId());
  ASSERT_TRUE(services.has_value());
  for (const Text& name : *services) ADD_FAILURE() << "named as a service: " << ToUtf8(name);
}

TEST(Win32ConnectionOwnerTest, OnlyAServicesOwnerModuleNamesAService) {
  const struct {
    const char16_t* name;
    const char16_t* path;
    bool service;
  } cases[] = {
      {u"Dnscache", u"Dnscache", true},
      {u"Dnscache", u"C:\\Windows\\system32\\svchost.exe", true},
      {u"BotService", u"", true},
      {u"chrome.exe", u"C:\\Program Files\\Google\\chrome.exe", false},
      {u"CHROME.EXE", u"c:\\program files\\google\\chrome.exe", false},
      {u"zc_bot.exe", u"C:/x/zc_bot.exe", false},
      {u"System", u"System", false},
      {u"C:\\x\\a.exe", u"C:\\x\\a.exe", false},
      {u"", u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OwnerModuleIsService(c.name, c.path), c.service) << ToUtf8(c.name) << " / " << ToUtf8(c.path);
  }
}

}  // namespace
}  // namespace zc::win
