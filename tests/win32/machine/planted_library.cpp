// A library planted under a system library's name (winsta.dll) where it must never be
// loaded from: when loaded, it leaves a file named after itself with ".ran" added
// beside itself.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char own[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameA(self, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatA(own, ".ran");
  HANDLE file = ::CreateFileA(own, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}
