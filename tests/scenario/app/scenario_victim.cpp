// A stand-in for a zombie program: writes its own process id to the file named by its
// first argument, then only waits (ten minutes at most) to be ended. Given a port as a
// second argument, it first opens a connection to that port of 127.0.0.1 and sends one
// byte through it, and keeps the connection while it waits.
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

bool ConnectAndSend(int port) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return false;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(static_cast<u_short>(port));
  const char byte = 'z';
  return connect(s, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == 0 && send(s, &byte, 1, 0) == 1;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 2 && count != 3) return 2;
  if (count == 3 && !ConnectAndSend(static_cast<int>(std::wcstol(argv[2], nullptr, 10)))) return 3;
  const std::string id = std::to_string(GetCurrentProcessId());
  HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(argv);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, id.data(), static_cast<DWORD>(id.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) return 1;
  Sleep(600000);
  return 0;
}
