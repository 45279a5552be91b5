#pragma once
// Privileges enabled for the calling thread alone while an instance lives: the thread
// impersonates a copy of the process's token with them enabled, so the process's own
// token never has them enabled and no other thread of the program acts with them
// meanwhile. The destructor gives the thread back the token it had before (none, as a
// rule: the process's own).

#include <windows.h>

#include <initializer_list>

#include "win32/base/unique_handle.h"

namespace zc::win {

class ThreadPrivileges {
 public:
  explicit ThreadPrivileges(std::initializer_list<const wchar_t*> privileges);
  ~ThreadPrivileges();
  ThreadPrivileges(const ThreadPrivileges&) = delete;
  ThreadPrivileges& operator=(const ThreadPrivileges&) = delete;

  // True when every privilege was enabled and the thread now uses them.
  bool Held() const { return held_; }
  // The error that kept them from being held; ERROR_SUCCESS when held.
  // ERROR_NOT_ALL_ASSIGNED: the process's token lacks one of them (a policy took it
  // from the account, or the token is the filtered half of an administrator's).
  DWORD Error() const { return error_; }

 private:
  UniqueHandle token_;
  UniqueHandle previous_;  // the thread's own impersonation token before; none as a rule
  bool impersonating_ = false;
  bool held_ = false;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace zc::win
