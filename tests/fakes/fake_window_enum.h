#pragma once
// A desktop of top-level windows given as (handle, title) in enumeration order.

#include <utility>
#include <vector>

#include "core/platform/window_enum_api.h"

namespace zc::fakes {

class FakeWindowEnum : public WindowEnumApi {
 public:
  std::vector<std::pair<WindowHandle, Text>> windows;
  int enumerations = 0;

  void EnumerateTopLevelWindows(
      const std::function<bool(WindowHandle, const Text&)>& visit) override {
    ++enumerations;
    for (const auto& w : windows) {
      const Text title = w.second.substr(0, 255);  // an ANSI title read keeps 255 characters
      if (!visit(w.first, title)) return;
    }
  }
};

}  // namespace zc::fakes
