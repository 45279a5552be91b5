#include "win32/machine/thread_privileges.h"

#include <vector>

namespace zc::win {

ThreadPrivileges::ThreadPrivileges(std::initializer_list<const wchar_t*> privileges) {
  UniqueHandle processToken;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, processToken.put())) {
    error_ = ::GetLastError();
    return;
  }
  if (!::DuplicateTokenEx(processToken.get(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY | TOKEN_IMPERSONATE, nullptr,
                          SecurityImpersonation, TokenImpersonation, token_.put())) {
    error_ = ::GetLastError();
    return;
  }

  // TOKEN_PRIVILEGES holds one entry; room for the others follows it.
  std::vector<BYTE> wanted(sizeof(TOKEN_PRIVILEGES) + privileges.size() * sizeof(LUID_AND_ATTRIBUTES));
  auto* list = reinterpret_cast<TOKEN_PRIVILEGES*>(wanted.data());
  list->PrivilegeCount = static_cast<DWORD>(privileges.size());
  DWORD i = 0;
  for (const wchar_t* name : privileges) {
    if (!::LookupPrivilegeValueW(nullptr, name, &list->Privileges[i].Luid)) {
      error_ = ::GetLastError();
      return;
    }
    list->Privileges[i].Attributes = SE_PRIVILEGE_ENABLED;
    ++i;
  }
  // Success with ERROR_NOT_ALL_ASSIGNED means the token lacks one of them.
  ::SetLastError(ERROR_SUCCESS);
  if (!::AdjustTokenPrivileges(token_.get(), FALSE, list, 0, nullptr, nullptr)) {
    error_ = ::GetLastError();
    return;
  }
  if (::GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
    error_ = ERROR_NOT_ALL_ASSIGNED;
    return;
  }
  // A thread already impersonating gets its token back afterwards.
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_IMPERSONATE, TRUE, previous_.put())) previous_.reset();
  if (!::SetThreadToken(nullptr, token_.get())) {
    error_ = ::GetLastError();
    return;
  }
  impersonating_ = true;
  held_ = true;
}

ThreadPrivileges::~ThreadPrivileges() {
  if (!impersonating_) return;
  if (!previous_ || !::SetThreadToken(nullptr, previous_.get())) ::RevertToSelf();
}

}  // namespace zc::win
