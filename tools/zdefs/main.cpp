// zdefs: the maker's command-line tool (see docs/definitions.md and command.h).

#include <iostream>
#include <string>
#include <vector>

#include "tools/zdefs/command.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "core/base/text.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // The arguments in Unicode, passed on as UTF-8 like on every other system.
  (void)argv;
  int count = 0;
  if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) {
      const std::wstring_view arg(wide[i]);
      args.push_back(zc::ToUtf8(zc::Text(arg.begin(), arg.end())));
    }
    ::LocalFree(wide);
  }
#else
  args.assign(argv + 1, argv + argc);
#endif
  (void)argc;
  const int status = zc::zdefs::Run(args, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
