#pragma once
// The thread's window events for the waiting routines: dispatch what is queued, sleep,
// and a millisecond clock.

#include "core/app/event_pump.h"

namespace zc::win {

class WindowEventPump : public EventPump {
 public:
  void ProcessPendingEvents() override;
  void Sleep(uint32_t milliseconds) override;
  uint64_t NowMilliseconds() override;
};

}  // namespace zc::win
