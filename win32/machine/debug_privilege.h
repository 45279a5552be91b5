#pragma once
// Opening another account's process as an administrator. An elevated administrator's
// token holds the debug privilege but has it disabled, and without it the rights of a
// service's or another user's process may shut administrators out. Such an open is
// tried once more with the privilege enabled for the calling thread alone, for that one
// call (thread_privileges.h): the process's token never has it enabled, and the thread
// impersonates nothing afterwards. Never for the idle and system processes (0 and 4),
// never for an unelevated token (its filtered half holds no such privilege).

#include <windows.h>

#include <functional>

#include "core/platform/system_error.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

// How a call with the debug privilege went.
enum class DebugPrivilegeUse {
  Used,       // the privilege was enabled for the call, then the thread went back
  NotHeld,    // an elevated token without it: a policy took it from the administrators
  NotForThis, // process 0 or 4, an unelevated token, or the token could not be copied
};

// Runs `call` while the calling thread holds the debug privilege; `call` runs only when
// the answer is Used.
DebugPrivilegeUse CallWithDebugPrivilege(DWORD processId, const std::function<void()>& call);

struct ProcessOpening {
  UniqueHandle process;
  SystemError error = SystemError::None;  // why there is no handle
};

// OpenProcess(access, processId); where that is refused for access, once more with the
// debug privilege. The error of a refusal: AccessDenied as before, or PrivilegeNotHeld
// (1314) when the elevated token does not hold the privilege at all.
ProcessOpening OpenProcessAsAdministrator(DWORD processId, DWORD access);

}  // namespace zc::win
