#pragma once
// The value of one of the process's environment variables.

#include "core/base/text.h"

namespace zc::win {

// Empty when the variable is not set.
Text EnvironmentText(TextView name);

}  // namespace zc::win
