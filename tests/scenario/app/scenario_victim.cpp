// A stand-in for a zombie program: writes its own process id to the file named by its
// argument, then only waits (ten minutes at most) to be ended.
#include <windows.h>
#include <shellapi.h>

#include <string>

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 2) return 2;
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
