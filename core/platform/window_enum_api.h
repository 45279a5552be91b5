#pragma once
// The top-level windows of the desktop, for the window-title check.

#include <cstdint>
#include <functional>

#include "core/base/text.h"

namespace zc {

using WindowHandle = std::uintptr_t;  // 0 = none

class WindowEnumApi {
 public:
  virtual ~WindowEnumApi() = default;

  // Calls `visit` for each top-level window in the platform's order with its title as an
  // ANSI title read gives it (at most 255 characters); stops when `visit` returns false.
  virtual void EnumerateTopLevelWindows(
      const std::function<bool(WindowHandle window, const Text& title)>& visit) = 0;
};

}  // namespace zc
