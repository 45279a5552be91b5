#pragma once
// The two window messages between copies of the program in one session, registered by
// name (RegisterWindowMessageW) and posted to every top-level window (HWND_BROADCAST):
//
//   - "come forward": a second start asks the copy already running to show its window in
//     front. An elevated window lets this one message through from the user's unelevated
//     processes (ChangeWindowMessageFilterEx); it carries nothing.
//   - "ready": an elevated copy started to treat says its window is up and its start-up
//     went through; wParam is its process id. The unelevated copy that started it waits
//     for it; a message from a higher integrity level needs no filter.

#include <windows.h>

namespace zc::win {

UINT ComeForwardMessage();
UINT ElevatedCopyReadyMessage();

}  // namespace zc::win
