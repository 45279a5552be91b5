#include "core/app/event_pump.h"
#include "core/base/rounding.h"

namespace zc {

void Delay(float seconds, EventPump& pump) {
  const int64_t count = RoundHalfEven(static_cast<double>(seconds));
  for (int64_t i = 0; i < count; ++i) {
    pump.ProcessPendingEvents();
    pump.Sleep(1000);
  }
}

}  // namespace zc
