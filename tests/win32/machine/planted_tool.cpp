// A program planted under a system tool's name (netstat.exe, taskkill.exe, ...) where
// it must never be started from: when started, it leaves a file named after itself
// with ".ran" added beside itself, holding its command line, and prints "planted".
#include <windows.h>

#include <cstring>
#include <string>

int main() {
  char own[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  const std::string marker = std::string(own, length) + ".ran";
  HANDLE file = ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) {
    const char* commandLine = ::GetCommandLineA();
    ::WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    ::CloseHandle(file);
  }
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), "planted", 7, &written, nullptr);
  return 0;
}
