#include "win32/machine/debug_privilege.h"

#include "win32/base/last_error.h"
#include "win32/machine/thread_privileges.h"

namespace zc::win {
namespace {

bool IsIdleOrSystemProcess(DWORD processId) { return processId == 0 || processId == 4; }

bool ProcessTokenElevated() {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

}  // namespace

DebugPrivilegeUse CallWithDebugPrivilege(DWORD processId, const std::function<void()>& call) {
  if (IsIdleOrSystemProcess(processId) || !ProcessTokenElevated()) return DebugPrivilegeUse::NotForThis;
  {
    const ThreadPrivileges debug({L"SeDebugPrivilege"});
    if (debug.Held()) {
      call();
      return DebugPrivilegeUse::Used;  // the thread goes back as `debug` ends
    }
    if (debug.Error() == ERROR_NOT_ALL_ASSIGNED) return DebugPrivilegeUse::NotHeld;
  }
  return DebugPrivilegeUse::NotForThis;
}

ProcessOpening OpenProcessAsAdministrator(DWORD processId, DWORD access) {
  ProcessOpening opening;
  opening.process.reset(::OpenProcess(access, FALSE, processId));
  if (opening.process) return opening;
  opening.error = LastError();
  if (opening.error != SystemError::AccessDenied) return opening;
  SystemError retried = SystemError::None;
  const DebugPrivilegeUse use = CallWithDebugPrivilege(processId, [&] {
    opening.process.reset(::OpenProcess(access, FALSE, processId));
    retried = opening.process ? SystemError::None : LastError();
  });
  if (use == DebugPrivilegeUse::Used) opening.error = retried;
  if (use == DebugPrivilegeUse::NotHeld) opening.error = SystemError::PrivilegeNotHeld;
  return opening;
}

}  // namespace zc::win
