#include "win32/desktop/win32_window_enum.h"

#include <windows.h>

#include <iterator>
#include <string_view>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using Visitor = std::function<bool(WindowHandle window, const Text& title)>;

// Called by EnumWindows for each top-level window; the application value carries the
// visitor. Returns TRUE to go on with the next window, FALSE to stop.
BOOL CALLBACK wndenum_proc(HWND window, LPARAM value) {
  wchar_t title[256] = {};
  const int length = ::GetWindowTextW(window, title, static_cast<int>(std::size(title)));
  // A title that cannot be read counts as an empty title.
  const std::wstring_view read(title, length > 0 ? static_cast<size_t>(length) : 0);
  const Visitor& visit = *reinterpret_cast<const Visitor*>(value);
  return visit(reinterpret_cast<WindowHandle>(window), FromWide(read)) ? TRUE : FALSE;
}

}  // namespace

void Win32WindowEnum::EnumerateTopLevelWindows(const Visitor& visit) {
  ::EnumWindows(&wndenum_proc, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace zc::win
