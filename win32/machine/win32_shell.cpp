#include "win32/machine/win32_shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

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
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCommand(state);

  // A console program gets a console of its own, so the window state applies to it
  // also when the caller has a console; a hidden one gets a console without any window
  // (a new console may otherwise open in a terminal application that ignores SW_HIDE).
  const Text program = SystemProgramFor(commandLine);
  if (program.empty()) return false;
  const std::wstring application = ToWide(program);
  std::wstring command = ToWide(commandLine);
  const DWORD flags = state == WindowState::Hidden ? CREATE_NO_WINDOW : CREATE_NEW_CONSOLE;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                        &startup, &started)) {
    return false;
  }
  UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);
  return true;
}

bool Win32Shell::OpenWebAddress(TextView address) {
  // Some protocol handlers are reached through COM; the shell wants it on the calling
  // thread. A thread that already has it keeps it as it was.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring target = ToWide(address);
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (SUCCEEDED(com)) ::CoUninitialize();
  return result > 32;  // larger than 32 means it was opened
}

}  // namespace zc::win
