#pragma once
// A path as the wide file calls take it. A full path that is too long for the classic
// limit (260 characters) is given the "\\?\" form, which the wide calls accept at any
// length on every Windows version, with or without the long-path manifest setting.

#include <string>

#include "core/base/text.h"

namespace zc::win {

std::wstring WidePath(TextView path);

}  // namespace zc::win
