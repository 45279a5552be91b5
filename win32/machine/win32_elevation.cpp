#include "win32/machine/win32_elevation.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win32/base/last_error.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

bool Win32Elevation::IsElevated() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  UniqueHandle token(opened);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) return false;
  return elevation.TokenIsElevated != 0;
}

SystemError Win32Elevation::StartElevated(TextView arguments) {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0) return LastError();
    if (length < program.size()) {
      program.resize(length);
      break;
    }
    program.resize(program.size() * 2);
  }
  const std::wstring parameters = ToWide(arguments);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ResultOf(::ShellExecuteExW(&info));
}

}  // namespace zc::win
