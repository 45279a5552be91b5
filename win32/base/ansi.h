#pragma once
// Texts cross into the platform in the system's ANSI code page (949 on a Korean
// Windows). Characters the code page cannot hold become its substitute character.

#include <string>
#include <string_view>

#include "core/base/text.h"

namespace zc::win {

std::string ToAnsi(TextView text);
Text FromAnsi(std::string_view ansi);

// The core's UTF-16 text as the platform's wide string, and back (same code units).
std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view wide);

}  // namespace zc::win
