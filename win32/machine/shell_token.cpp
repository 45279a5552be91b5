#include "win32/machine/shell_token.h"

namespace zc::win {

UniqueHandle ShellProcessToken(DWORD access) {
  const HWND shell = ::GetShellWindow();
  DWORD processId = 0;
  if (shell) ::GetWindowThreadProcessId(shell, &processId);
  if (processId == 0) return {};
  UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  UniqueHandle token;
  if (!process || !::OpenProcessToken(process.get(), access, token.put())) return {};
  return token;
}

}  // namespace zc::win
