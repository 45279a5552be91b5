#include "win32/machine/win32_shell.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/system_program.h"

namespace zc::win {
namespace {

WORD ShowCommand(WindowState state) {
  switch (state) {
    case WindowState::Hidden: return SW_HIDE;
    case WindowState::NormalFocused: return SW_SHOWNORMAL;
    case WindowState::MinimizedFocused: return SW_SHOWMINIMIZED;
  }
  return SW_HIDE;
}

}  // namespace

bool Win32Shell::Launch(TextView commandLine, WindowState state) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCommand(state);

  // A console program gets a console of its own, so the window state applies to it
  // also when the caller has a console.
  const Text program = SystemProgramFor(commandLine);
  if (program.empty()) return false;
  const std::string application = ToAnsi(program);
  std::string command = ToAnsi(commandLine);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(application.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &started)) {
    return false;
  }
  UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);
  return true;
}

}  // namespace zc::win
