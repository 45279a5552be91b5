#pragma once
// Looks for a top-level window whose title holds a text fragment.

#include "core/base/text.h"
#include "core/platform/window_enum_api.h"

namespace zc {

class WindowTitleSearch {
 public:
  explicit WindowTitleSearch(WindowEnumApi& windows) : windows_(windows) {}

  // Enumerates the top-level windows in the platform's order and returns the first whose
  // title (as an ANSI title read gives it, at most 255 characters) holds `fragment`
  // exactly, anywhere; 0 when none does. An empty fragment matches the first window.
  WindowHandle FindWindowByTitle(TextView fragment);

 private:
  // Per window: true to go on with the next window, false once this one matched.
  bool wndenum_proc(WindowHandle window, const Text& title);

  WindowEnumApi& windows_;
  Text fragment_;
  WindowHandle found_ = 0;
};

}  // namespace zc
