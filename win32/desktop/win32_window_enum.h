#pragma once
// The desktop's top-level windows through EnumWindows, each with the title that an ANSI
// title read gives: at most 255 characters, read into a 256-character buffer.

#include "core/platform/window_enum_api.h"

namespace zc::win {

class Win32WindowEnum final : public WindowEnumApi {
 public:
  void EnumerateTopLevelWindows(
      const std::function<bool(WindowHandle window, const Text& title)>& visit) override;
};

}  // namespace zc::win
