#pragma once
// The token of the process behind the session's shell window: the person at the
// keyboard, whoever elevated this program. Nothing in a session without a shell (a
// service, a management agent) or when that process cannot be opened.

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

UniqueHandle ShellProcessToken(DWORD access);

}  // namespace zc::win
