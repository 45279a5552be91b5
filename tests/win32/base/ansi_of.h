#pragma once
// Tests build ANSI paths and expected file contents from texts they know the code page
// holds; a text it does not hold is a fault of the test itself.

#include <stdexcept>
#include <string>

#include "win32/base/ansi.h"

namespace zc::win {

inline std::string AnsiOf(TextView text) {
  const auto ansi = ToAnsiExactly(text);
  if (!ansi) throw std::logic_error("a test text has no exact ANSI form");
  return *ansi;
}

}  // namespace zc::win
