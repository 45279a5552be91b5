#include "win32/desktop/win32_window_enum.h"

#include <windows.h>

#include <string_view>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using Visitor = std::function<bool(WindowHandle window, const Text& title)>;

// Called by EnumWindows for each top-level window; the application value carries the
// visitor. Returns TRUE to go on with the next window, FALSE to stop.
BOOL CALLBACK wndenum_proc(HWND window, LPARAM value) {
  char title[256] = {};
  const int length = ::GetWindowTextA(window, title, static_cast<int>(sizeof(title)));
  // A title that cannot be read counts as an empty title.
  const std::string_view read(title, length > 0 ? static_cast<size_t>(length) : 0);
  const Visitor& visit = *reinterpret_cast<const Visitor*>(value);
  return visit(reinterpret_cast<WindowHandle>(window), FromAnsi(read)) ? TRUE : FALSE;
}

}  // namespace

void Win32WindowEnum::EnumerateTopLevelWindows(const Visitor& visit) {
  ::EnumWindows(&wndenum_proc, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace zc::win
