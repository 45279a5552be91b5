// A stand-in for a bot that lives inside the DLL host, for the tests and scenarios that
// plant one:
//   rundll32.exe "C:\x\zc_bot.dll",Start PORT
// listens at 127.0.0.1:PORT and connects to that listener itself, so that the host
// process holds a listener and an established connection to 127.0.0.1:PORT; where the
// port is taken already, it only connects to whoever listens there. It then waits until
// it is ended. Without a usable port, or when neither the listener nor the connection
// can be had, Start returns and the host ends.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

namespace {

// The decimal port at the start of the argument (blanks before it allowed); 0 when none.
unsigned short PortOf(const char* argument) {
  if (argument == nullptr) return 0;
  while (*argument == ' ' || *argument == '\t') ++argument;
  unsigned long port = 0;
  for (; *argument >= '0' && *argument <= '9'; ++argument) {
    port = port * 10 + static_cast<unsigned long>(*argument - '0');
    if (port > 65535) return 0;
  }
  return static_cast<unsigned short>(port);
}

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(port);
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  return address;
}

SOCKET Listener(unsigned short port) {
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return INVALID_SOCKET;
  // Only this socket may take the port: another program's listener is never shared.
  BOOL exclusive = TRUE;
  ::setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof(exclusive));
  const sockaddr_in address = Loopback(port);
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener, 4) != 0) {
    ::closesocket(listener);
    return INVALID_SOCKET;
  }
  return listener;
}

SOCKET Connection(unsigned short port) {
  SOCKET connection = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connection == INVALID_SOCKET) return INVALID_SOCKET;
  const sockaddr_in address = Loopback(port);
  if (::connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    ::closesocket(connection);
    return INVALID_SOCKET;
  }
  return connection;
}

}  // namespace

extern "C" __declspec(dllexport) void CALLBACK Start(HWND, HINSTANCE, LPSTR argument, int) {
  const unsigned short port = PortOf(argument);
  if (port == 0) return;
  WSADATA winsock{};
  if (::WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return;
  const SOCKET listener = Listener(port);
  const SOCKET connection = Connection(port);
  if (listener == INVALID_SOCKET && connection == INVALID_SOCKET) {
    ::WSACleanup();
    return;
  }
  // The connection waits in the listener's queue until it is taken.
  SOCKET accepted = INVALID_SOCKET;
  if (listener != INVALID_SOCKET && connection != INVALID_SOCKET) accepted = ::accept(listener, nullptr, nullptr);
  static_cast<void>(accepted);
  for (;;) ::Sleep(INFINITE);
}
