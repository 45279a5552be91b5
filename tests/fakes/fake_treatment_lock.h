#pragma once
// The machine's treatment lock in memory: held by one holder at a time; `heldElsewhere`
// stands for another copy of the program that holds it.

#include "core/platform/treatment_lock_api.h"

namespace zc::fakes {

class FakeTreatmentLock : public TreatmentLockApi {
 public:
  bool heldElsewhere = false;
  bool held = false;
  int timesHeld = 0;

  bool TryHold() override {
    if (heldElsewhere || held) return false;
    held = true;
    ++timesHeld;
    return true;
  }
  void Release() override { held = false; }
};

}  // namespace zc::fakes
