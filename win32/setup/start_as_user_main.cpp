// zc-start-as-user.exe PROGRAM: the installer's finish page starts the installed program
// through this helper, so that the program runs as the user who is logged on, with that
// user's own token, and not as the elevated installer: the running shell starts it
// (win32/desktop/desktop_shell_start.h), in the program's own folder. The helper never
// starts anything itself. Exit code 0 when the shell took the start; otherwise the failing
// step's HRESULT, and 87 (ERROR_INVALID_PARAMETER) without a program path.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win32/desktop/desktop_shell_start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!arguments) return ERROR_INVALID_PARAMETER;
  if (count != 2 || arguments[1][0] == L'\0') {
    ::LocalFree(arguments);
    return ERROR_INVALID_PARAMETER;
  }
  const std::wstring program = arguments[1];
  ::LocalFree(arguments);
  const size_t cut = program.find_last_of(L'\\');
  const std::wstring folder = cut == std::wstring::npos ? std::wstring() : program.substr(0, cut);
  return static_cast<int>(zc::win::StartThroughDesktopShell(program, L"", folder));
}
