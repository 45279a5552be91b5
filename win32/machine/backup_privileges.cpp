#include "win32/machine/backup_privileges.h"

#include <array>

namespace zc::win {
namespace {

constexpr std::array<const wchar_t*, 3> kPrivileges = {L"SeTakeOwnershipPrivilege", L"SeRestorePrivilege",
                                                       L"SeBackupPrivilege"};

}  // namespace

BackupPrivileges::BackupPrivileges() {
  HANDLE process = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process)) {
    error_ = ::GetLastError();
    return;
  }
  UniqueHandle processToken(process);
  HANDLE copy = nullptr;
  if (!::DuplicateTokenEx(processToken.get(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY | TOKEN_IMPERSONATE, nullptr,
                          SecurityImpersonation, TokenImpersonation, &copy)) {
    error_ = ::GetLastError();
    return;
  }
  token_.reset(copy);

  // TOKEN_PRIVILEGES holds one entry; room for all three follows it.
  struct {
    DWORD count;
    LUID_AND_ATTRIBUTES entries[kPrivileges.size()];
  } wanted{};
  wanted.count = static_cast<DWORD>(kPrivileges.size());
  for (size_t i = 0; i < kPrivileges.size(); ++i) {
    if (!::LookupPrivilegeValueW(nullptr, kPrivileges[i], &wanted.entries[i].Luid)) {
      error_ = ::GetLastError();
      return;
    }
    wanted.entries[i].Attributes = SE_PRIVILEGE_ENABLED;
  }
  // Success with ERROR_NOT_ALL_ASSIGNED means the token lacks one of them.
  ::SetLastError(ERROR_SUCCESS);
  if (!::AdjustTokenPrivileges(token_.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted), 0, nullptr,
                               nullptr)) {
    error_ = ::GetLastError();
    return;
  }
  if (::GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
    error_ = ERROR_NOT_ALL_ASSIGNED;
    return;
  }
  if (!::SetThreadToken(nullptr, token_.get())) {
    error_ = ::GetLastError();
    return;
  }
  impersonating_ = true;
  held_ = true;
}

BackupPrivileges::~BackupPrivileges() {
  if (impersonating_) ::RevertToSelf();
}

}  // namespace zc::win
