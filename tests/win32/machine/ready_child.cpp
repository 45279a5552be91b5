// Helper program for the hand-over test: "ready" posts the elevated copy's "ready"
// message with its own process id and then lives on a moment; "other" posts it with
// another id, lives on a moment and ends with 5; "end N" ends with exit code N without posting anything.

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "win32/desktop/copy_messages.h"

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"ready") == 0) {
    ::PostMessageW(HWND_BROADCAST, zc::win::ElevatedCopyReadyMessage(), ::GetCurrentProcessId(), 0);
    ::Sleep(3000);
    return 0;
  }
  if (argc >= 2 && std::wcscmp(argv[1], L"other") == 0) {
    ::PostMessageW(HWND_BROADCAST, zc::win::ElevatedCopyReadyMessage(), ::GetCurrentProcessId() + 4, 0);
    ::Sleep(1000);  // the message is there well before the end
    return 5;
  }
  if (argc >= 3 && std::wcscmp(argv[1], L"end") == 0) return std::wcstol(argv[2], nullptr, 10);
  return 99;
}
