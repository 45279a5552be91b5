// The test bot in the DLL host: started the way a bot's autorun value starts it, it
// holds a connection to 127.0.0.1 and keeps running, and what the treatment reads of a
// host process (command line, modules) names the bot's library.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/win32/base/ansi_of.h"
#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"
#include "win32/machine/win32_process_details.h"

namespace zc::win {
namespace {

using testing::EndsWithin;
using testing::PathNextToTest;
using testing::StartHidden;
using testing::TemporaryFolder;

class Winsock {
 public:
  Winsock() { started_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
  ~Winsock() {
    if (started_) ::WSACleanup();
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;

 private:
  WSADATA data_{};
  bool started_ = false;
};

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(port);
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  return address;
}

// A port at 127.0.0.1 that nothing listens on now.
unsigned short FreePort() {
  SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  int size = sizeof(address);
  unsigned short port = 0;
  if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ::ntohs(address.sin_port);
  }
  ::closesocket(probe);
  return port;
}

bool SomeoneListensAt(unsigned short port) {
  SOCKET client = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = Loopback(port);
  const bool connected = ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::closesocket(client);
  return connected;
}

std::string AnsiOfSystemProgram(const char16_t* name) {
  Text path = SystemFolder();
  path.append(u"\\").append(name);
  return AnsiOf(path);
}

// The DLL host's command line for `library`'s Start entry with `argument`.
std::string HostCommand(const std::string& host, const std::string& library, const std::string& argument) {
  std::string line(1, '"');
  line.append(host).append("\" \"").append(library).append("\",Start ").append(argument);
  return line;
}

bool Holds(const std::vector<Text>& paths, TextView wanted) {
  return std::any_of(paths.begin(), paths.end(), [&](const Text& path) { return FoldCase(path) == FoldCase(wanted); });
}

TEST(BotLibraryTest, RunsInTheDllHostWithAConnectionAndReadsBackAsItsPayload) {
  Winsock winsock;
  TemporaryFolder folder;
  ASSERT_TRUE(::CreateDirectoryA((folder / "bot folder").c_str(), nullptr));
  const std::string bot = folder / "bot folder\\zc_bot.dll";
  ASSERT_TRUE(::CopyFileA(PathNextToTest("zc_bot.dll").c_str(), bot.c_str(), FALSE));
  const std::string host = AnsiOfSystemProgram(u"rundll32.exe");
  const unsigned short port = FreePort();
  ASSERT_NE(port, 0);

  const std::string commandLine = HostCommand(host, bot, std::to_string(port));
  auto child = StartHidden(commandLine);
  ASSERT_TRUE(child.process);
  bool listening = false;
  for (int attempt = 0; attempt < 100 && !listening; ++attempt) {
    listening = SomeoneListensAt(port);
    if (!listening) ::Sleep(50);
  }
  EXPECT_TRUE(listening) << "the bot never listened at 127.0.0.1:" << port;
  EXPECT_FALSE(EndsWithin(child.process.get(), 0)) << "the host ended";

  Win32ProcessDetails details;
  EXPECT_EQ(details.CommandLine(child.id), FromAnsi(commandLine));
  const std::optional<std::vector<Text>> modules = details.LoadedModules(child.id);
  ASSERT_TRUE(modules.has_value());
  EXPECT_TRUE(Holds(*modules, FromAnsi(bot)));
  EXPECT_TRUE(Holds(*modules, FromAnsi(host)));
  EXPECT_NE(details.CriticalState(child.id), Criticality::Critical);

  ::TerminateProcess(child.process.get(), 0);
  ASSERT_TRUE(EndsWithin(child.process.get(), 5000));
}

TEST(BotLibraryTest, WithoutAPortTheHostEnds) {
  TemporaryFolder folder;
  const std::string bot = folder / "zc_bot.dll";
  ASSERT_TRUE(::CopyFileA(PathNextToTest("zc_bot.dll").c_str(), bot.c_str(), FALSE));
  auto child = StartHidden(HostCommand(AnsiOfSystemProgram(u"rundll32.exe"), bot, "nothing"));
  ASSERT_TRUE(child.process);
  EXPECT_TRUE(EndsWithin(child.process.get(), 10000));
}

}  // namespace
}  // namespace zc::win
