#include "win32/base/program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "win32/base/ansi.h"

namespace zc::win {

std::vector<Text> ProgramArguments() {
  std::vector<Text> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(FromWide(list[i]));
  LocalFree(list);
  return arguments;
}

}  // namespace zc::win
