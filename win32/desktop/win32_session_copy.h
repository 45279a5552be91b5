#pragma once
// One copy per user and session through a mutex in a private namespace:
//
//   - the boundary descriptor "ZombieCure" holds the process token's user SID
//     (CreateBoundaryDescriptorW, AddSIDToBoundaryDescriptor), so only a process whose
//     token holds that SID can make or open the namespace and no other program can take
//     the name first;
//   - the namespace (alias "ZombieCure") is made (CreatePrivateNamespaceW) or, when it is
//     there, opened (OpenPrivateNamespaceW); the mutex
//     "ZombieCure\OneCopy-<session id>-<program tag>" in it is made with CreateMutexW,
//     the tag a hash of this program file's path (letter case folded): a copy of the
//     program in another folder is another program and runs beside it;
//   - namespace and mutex are given to the user's SID and SYSTEM and labelled medium, so
//     the user's unelevated and elevated copies both reach what the other made;
//   - a mutex that was already there, or one that exists but cannot be opened (access
//     denied), means another copy of this user runs in this session.
//
// Only where the system has no private namespaces (a namespace call fails with
// ERROR_CALL_NOT_IMPLEMENTED, or, under Wine, whose namespace calls are stubs, fails
// without any error) is the mutex made under the session's own name
// "Local\ZombieCure.OneCopy.<user SID>.<program tag>" instead. Windows always has them,
// so there the name can never be taken by another program first.
//
// The "come forward" call: AllowSetForegroundWindow(ASFW_ANY), then the registered
// message posted to every top-level window.

#include <windows.h>

#include "core/platform/session_copy_api.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

struct BoundaryDescriptorTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DeleteBoundaryDescriptor(h); }
};
struct PrivateNamespaceTraits {  // closed, not destroyed: a copy that opened it may go on
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::ClosePrivateNamespace(h, 0); }
};

class Win32SessionCopy final : public SessionCopyApi {
 public:
  SessionClaim Claim() override;
  void CallRunningCopyForward() override;

  // Whether the last Claim used the session-name fallback (no private namespaces).
  bool UsedFallbackName() const { return usedFallback_; }
  // For an Unknown claim: the call that failed and its error.
  const char* FailedCall() const { return failedCall_; }
  DWORD FailedError() const { return failedError_; }

 private:
  SessionClaim Failed(const char* call, DWORD error);
  // Makes or opens the namespace; false with `namespaceClaim_` AnotherRuns when it is
  // there but cannot be opened, First when the calls failed (see failedError_).
  bool OpenNamespace(SECURITY_ATTRIBUTES* security, PSID user);

  UniqueAny<BoundaryDescriptorTraits> boundary_;
  UniqueAny<PrivateNamespaceTraits> namespace_;
  UniqueHandle mutex_;
  bool usedFallback_ = false;
  SessionClaim namespaceClaim_ = SessionClaim::First;
  const char* failedCall_ = "";
  DWORD failedError_ = 0;
};

}  // namespace zc::win
