#pragma once
// The machine's one-treatment-at-a-time lock: a mutex in a private namespace whose
// boundary is the Administrators group and whose security lets only Administrators and
// LocalSystem open it. A program an ordinary account runs can neither make the name
// first (its token holds the Administrators group only for denying) nor open it, so it
// cannot keep the treatment from running by squatting on the name.

#include <windows.h>

#include "core/platform/treatment_lock_api.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

class Win32TreatmentLock : public TreatmentLockApi {
 public:
  Win32TreatmentLock() = default;
  ~Win32TreatmentLock() override;
  Win32TreatmentLock(const Win32TreatmentLock&) = delete;
  Win32TreatmentLock& operator=(const Win32TreatmentLock&) = delete;

  bool TryHold() override;
  void Release() override;

 private:
  // Opens (or makes) the namespace and the mutex in it; false when neither can be had.
  bool OpenMutex();

  HANDLE boundary_ = nullptr;   // DeleteBoundaryDescriptor
  HANDLE namespace_ = nullptr;  // ClosePrivateNamespace
  UniqueHandle mutex_;
  bool held_ = false;
};

}  // namespace zc::win
