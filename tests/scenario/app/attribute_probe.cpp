// Prints the attributes of the file or folder named by its argument as two or more
// lowercase hexadecimal digits (16 for a hidden system folder), or "missing".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 2) return 2;
  const DWORD attributes = GetFileAttributesW(argv[1]);
  LocalFree(argv);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    std::printf("missing\n");
    return 1;
  }
  std::printf("%02lx\n", static_cast<unsigned long>(attributes));
  return 0;
}
