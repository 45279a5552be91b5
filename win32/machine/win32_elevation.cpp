#include "win32/machine/win32_elevation.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/last_error.h"
#include "win32/base/unique_handle.h"
#include "win32/desktop/copy_messages.h"
#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

bool ThisProgramsPath(std::wstring& program) {
  program.assign(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0) return false;
    if (length < program.size()) {
      program.resize(length);
      return true;
    }
    program.resize(program.size() * 2);
  }
}

// The "runas" start; `info` holds the process handle afterwards when `mask` asks for it.
bool StartRunAs(TextView arguments, ULONG mask, SHELLEXECUTEINFOW& info, const std::wstring& program,
                const std::wstring& parameters) {
  info = {};
  info.cbSize = sizeof(info);
  info.fMask = mask | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = arguments.empty() ? nullptr : parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ::ShellExecuteExW(&info) != FALSE;
}

bool IsReadyFrom(const MSG& message, UINT ready, DWORD processId) {
  return ready != 0 && message.message == ready && (processId == 0 || message.wParam == processId);
}

// A "ready" posted just before the copy ended still counts.
bool ReadyWaiting(UINT ready, DWORD processId) {
  MSG message;
  bool found = false;
  while (ready != 0 && ::PeekMessageW(&message, nullptr, ready, ready, PM_REMOVE)) {
    if (IsReadyFrom(message, ready, processId)) found = true;
  }
  return found;
}

HandOverResult WaitUntilReady(HANDLE process) {
  // Without the id (a handle without query rights), any copy's "ready" is taken.
  const DWORD processId = ::GetProcessId(process);
  const UINT ready = ElevatedCopyReadyMessage();
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));  // the main loop ends the program
        return {HandOverOutcome::StoppedWaiting, SystemError::None, 0};
      }
      if (IsReadyFrom(message, ready, processId)) return {HandOverOutcome::Ready, SystemError::None, 0};
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    const DWORD waited = ::MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (waited == WAIT_OBJECT_0) {
      if (ReadyWaiting(ready, processId)) return {HandOverOutcome::Ready, SystemError::None, 0};
      DWORD code = 0;
      if (!::GetExitCodeProcess(process, &code)) code = 0;
      return {HandOverOutcome::EndedBeforeReady, SystemError::None, code};
    }
    if (waited == WAIT_FAILED) return {HandOverOutcome::Unwatched, LastError(), 0};
  }
}

}  // namespace

bool Win32Elevation::IsElevated() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  UniqueHandle token(opened);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) return false;
  return elevation.TokenIsElevated != 0;
}

bool Win32Elevation::IsElevatedCopy() {
  if (RunningUnderWine()) return false;
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return IsElevated();
  UniqueHandle token(opened);
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size)) return IsElevated();
  return type == TokenElevationTypeFull;
}

SystemError Win32Elevation::StartElevated(TextView arguments) {
  std::wstring program;
  if (!ThisProgramsPath(program)) return LastError();
  const std::wstring parameters = ToWide(arguments);
  SHELLEXECUTEINFOW info;
  return ResultOf(StartRunAs(arguments, 0, info, program, parameters));
}

HandOverResult Win32Elevation::HandOverToElevatedCopy(TextView arguments) {
  std::wstring program;
  if (!ThisProgramsPath(program)) return {HandOverOutcome::NotStarted, LastError(), 0};
  return StartElevatedAndWaitUntilReady(program, arguments);
}

HandOverResult StartElevatedAndWaitUntilReady(const std::wstring& program, TextView arguments) {
  const std::wstring parameters = ToWide(arguments);
  SHELLEXECUTEINFOW info;
  if (!StartRunAs(arguments, SEE_MASK_NOCLOSEPROCESS, info, program, parameters))
    return {HandOverOutcome::NotStarted, LastError(), 0};
  if (!info.hProcess) return {HandOverOutcome::Unwatched, SystemError::None, 0};
  UniqueHandle process(info.hProcess);
  return WaitUntilReady(process.get());
}

void Win32Elevation::AnnounceReady() {
  const UINT ready = ElevatedCopyReadyMessage();
  if (ready != 0) ::PostMessageW(HWND_BROADCAST, ready, ::GetCurrentProcessId(), 0);
}

}  // namespace zc::win
