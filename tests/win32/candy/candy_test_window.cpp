#include "tests/win32/candy/candy_test_window.h"

#include <psapi.h>

namespace zc::win::testing {
namespace {

constexpr wchar_t kHostClass[] = L"ZcCandyTestHost";

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (auto* clicks = reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) ++*clicks;
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

UniqueWindow CreateHostWindow(const wchar_t* title, int* clicks) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!::GetClassInfoExW(instance, kHostClass, &existing)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &HostProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kHostClass;
    ::RegisterClassExW(&windowClass);
  }
  RECT frame{0, 0, 683, 409};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  ::AdjustWindowRect(&frame, style, FALSE);
  UniqueWindow window(::CreateWindowExW(0, kHostClass, title, style | WS_VISIBLE, 0, 0, frame.right - frame.left,
                                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr));
  if (window) ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(clicks));
  Pump(50);
  return window;
}

void Pump(DWORD milliseconds) {
  const DWORD end = ::GetTickCount() + milliseconds;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    const DWORD now = ::GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

size_t WorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters.WorkingSetSize;
}

}  // namespace zc::win::testing
