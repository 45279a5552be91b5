#pragma once
// The process's environment through ExpandEnvironmentStringsW.

#include "core/platform/environment_api.h"

namespace zc::win {

class Win32Environment : public EnvironmentApi {
 public:
  Text ExpandVariables(TextView text) override;
};

}  // namespace zc::win
