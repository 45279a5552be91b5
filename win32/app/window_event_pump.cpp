#include "win32/app/window_event_pump.h"

#include <windows.h>

namespace zc::win {

void WindowEventPump::ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the end of the loop to the main loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void WindowEventPump::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint64_t WindowEventPump::NowMilliseconds() { return GetTickCount64(); }

}  // namespace zc::win
