#include "win32/trust/win32_user_rights.h"

#include <windows.h>
#include <aclapi.h>
#include <wtsapi32.h>

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/shell_token.h"

namespace zc::win {
namespace {

bool TokenIsUser(HANDLE token, const std::wstring& sid) {
  const std::optional<std::wstring> user = TokenUserSidText(token);
  return user && _wcsicmp(user->c_str(), sid.c_str()) == 0;
}

// The shell's token when the shell runs as that user.
UniqueHandle ShellToken(const std::wstring& sid) {
  UniqueHandle token = ShellProcessToken(TOKEN_QUERY | TOKEN_DUPLICATE);
  return token && TokenIsUser(token.get(), sid) ? std::move(token) : UniqueHandle();
}

// As LocalSystem: the token of a session that user is logged on to.
UniqueHandle SessionToken(const std::wstring& sid) {
  WTS_SESSION_INFOW* sessions = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) return {};
  UniqueHandle found;
  for (DWORD i = 0; i < count && !found; ++i) {
    UniqueHandle token;
    if (WTSQueryUserToken(sessions[i].SessionId, token.put()) && TokenIsUser(token.get(), sid)) found = std::move(token);
  }
  WTSFreeMemory(sessions);
  return found;
}

enum class Check { Granted, Denied, Unreadable };

Check AccessTo(HANDLE impersonation, const std::wstring& path, DWORD desired) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return Check::Unreadable;
  UniqueLocalMemory owned(descriptor);
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  MapGenericMask(&desired, &mapping);
  PRIVILEGE_SET privileges{};
  DWORD privilegesSize = sizeof privileges;
  DWORD granted = 0;
  BOOL status = FALSE;
  if (!AccessCheck(descriptor, impersonation, desired, &mapping, &privileges, &privilegesSize, &granted, &status))
    return Check::Unreadable;
  return status ? Check::Granted : Check::Denied;
}

}  // namespace

DeleteVerdict Win32UserRights::MayDelete(TextView userSid, TextView path) {
  const std::wstring sid = ToWide(userSid);
  UniqueHandle token = ShellToken(sid);
  if (!token) token = SessionToken(sid);
  if (!token) return DeleteVerdict::Unknown;
  UniqueHandle impersonation;
  if (!DuplicateTokenEx(token.get(), TOKEN_QUERY | TOKEN_IMPERSONATE, nullptr, SecurityIdentification,
                        TokenImpersonation, impersonation.put()))
    return DeleteVerdict::Unknown;

  const std::wstring file = ToWide(path);
  const Check onFile = AccessTo(impersonation.get(), file, DELETE);
  if (onFile == Check::Granted) return DeleteVerdict::May;
  const size_t cut = file.find_last_of(L'\\');
  const Check onFolder =
      cut == std::wstring::npos ? Check::Unreadable : AccessTo(impersonation.get(), file.substr(0, cut), FILE_DELETE_CHILD);
  if (onFolder == Check::Granted) return DeleteVerdict::May;
  if (onFile == Check::Unreadable && onFolder == Check::Unreadable) return DeleteVerdict::Unknown;
  return DeleteVerdict::MayNot;
}

RightVerdict Win32UserRights::MayEndProcess(uint32_t processId) {
  // The system's idle process and the system process are never anyone's to end.
  if (processId == 0 || processId == 4) return RightVerdict::MayNot;
  UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  if (process) return RightVerdict::May;
  switch (::GetLastError()) {
    case ERROR_INVALID_PARAMETER: return RightVerdict::May;  // gone: nothing left to end
    case ERROR_ACCESS_DENIED: return RightVerdict::MayNot;
    default: return RightVerdict::Unknown;
  }
}

}  // namespace zc::win
