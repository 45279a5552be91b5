#pragma once
// The program's command line after its own path, split as the system splits it.

#include <vector>

#include "core/base/text.h"

namespace zc::win {

std::vector<Text> ProgramArguments();

}  // namespace zc::win
