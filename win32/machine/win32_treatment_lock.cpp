#include "win32/machine/win32_treatment_lock.h"

#include <sddl.h>

#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

constexpr wchar_t kBoundaryName[] = L"ZombieCure.Treatment";
constexpr wchar_t kNamespaceAlias[] = L"ZombieCureTreatment";
constexpr wchar_t kMutexName[] = L"ZombieCureTreatment\\Lock";
// Only Administrators and LocalSystem may open the namespace or its objects.
constexpr wchar_t kNamespaceSecurity[] = L"D:P(A;;GA;;;BA)(A;;GA;;;SY)";
// The test bed's system has no private namespaces; there, and only there, the lock is a
// name in the session's own namespace.
constexpr wchar_t kTestBedMutexName[] = L"Local\\ZombieCure.Treatment";

}  // namespace

Win32TreatmentLock::~Win32TreatmentLock() {
  Release();
  mutex_.reset();
  if (namespace_) ClosePrivateNamespace(namespace_, 0);
  if (boundary_) DeleteBoundaryDescriptor(boundary_);
}

bool Win32TreatmentLock::OpenMutex() {
  if (mutex_) return true;
  boundary_ = CreateBoundaryDescriptorW(kBoundaryName, 0);
  if (boundary_) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) &&
        AddSIDToBoundaryDescriptor(&boundary_, sid)) {
      PSECURITY_DESCRIPTOR descriptor = nullptr;
      if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kNamespaceSecurity, SDDL_REVISION_1, &descriptor,
                                                               nullptr)) {
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        namespace_ = CreatePrivateNamespaceW(&attributes, boundary_, kNamespaceAlias);
        LocalFree(descriptor);
      }
      if (!namespace_ && GetLastError() == ERROR_ALREADY_EXISTS)
        namespace_ = OpenPrivateNamespaceW(boundary_, kNamespaceAlias);
    }
  }
  if (namespace_) {
    mutex_.reset(CreateMutexW(nullptr, FALSE, kMutexName));
  } else if (RunningUnderWine()) {
    mutex_.reset(CreateMutexW(nullptr, FALSE, kTestBedMutexName));
  }
  return static_cast<bool>(mutex_);
}

bool Win32TreatmentLock::TryHold() {
  if (held_) return false;
  if (!OpenMutex()) return false;
  const DWORD waited = WaitForSingleObject(mutex_.get(), 0);
  // An abandoned lock was held by a copy that ended mid-treatment: it is ours now.
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  return held_;
}

void Win32TreatmentLock::Release() {
  if (!held_) return;
  ReleaseMutex(mutex_.get());
  held_ = false;
}

}  // namespace zc::win
