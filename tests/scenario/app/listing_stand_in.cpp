// Stands in for a console listing tool (in place of netstat.exe or tasklist.exe): prints,
// byte for byte, the file beside it named after itself with ".txt" (netstat.txt for
// netstat.exe). Prints nothing when there is no such file.
#include <windows.h>

#include <string>

int main() {
  char own[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  std::string listing(own, length);
  const size_t dot = listing.find_last_of('.');
  if (dot == std::string::npos || dot < listing.find_last_of('\\')) return 1;
  listing.replace(dot, std::string::npos, ".txt");

  HANDLE file = CreateFileA(listing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    DWORD written = 0;
    WriteFile(out, buffer, read, &written, nullptr);
  }
  CloseHandle(file);
  return 0;
}
