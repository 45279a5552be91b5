#include "win32/trust/win32_user_rights.h"

#include <windows.h>
#include <aclapi.h>

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/user_token.h"

namespace zc::win {
namespace {

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
  const UniqueHandle token = TokenOfUser(ToWide(userSid));
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
