#pragma once
// One treatment at a time on a machine: the window's treat button and a silent run
// that treats both change services, values and files, and two passes over the same
// Findings would undo each other's records.

namespace zc {

class TreatmentLockApi {
 public:
  virtual ~TreatmentLockApi() = default;

  // Takes the machine's treatment lock without waiting; false while another copy of the
  // program holds it (or the lock cannot be made).
  virtual bool TryHold() = 0;
  // Lets the lock go; nothing when it is not held.
  virtual void Release() = 0;
};

// Holds the lock for one scope.
class HeldTreatmentLock {
 public:
  explicit HeldTreatmentLock(TreatmentLockApi& lock) : lock_(lock), held_(lock.TryHold()) {}
  ~HeldTreatmentLock() {
    if (held_) lock_.Release();
  }
  HeldTreatmentLock(const HeldTreatmentLock&) = delete;
  HeldTreatmentLock& operator=(const HeldTreatmentLock&) = delete;

  bool Held() const { return held_; }

 private:
  TreatmentLockApi& lock_;
  bool held_;
};

}  // namespace zc
