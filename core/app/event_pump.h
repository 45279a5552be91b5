#pragma once
// The window event loop as the waiting routines need it: let pending events through,
// sleep, and read a millisecond clock.

#include <cstdint>

namespace zc {

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessPendingEvents() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual uint64_t NowMilliseconds() = 0;
};

// Waits `seconds` rounded to a whole number (halves to even): that many times, pending
// events are processed and then the thread sleeps one second. Zero or less returns at
// once without processing anything.
void Delay(float seconds, EventPump& pump);

}  // namespace zc
