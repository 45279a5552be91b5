#pragma once
// The process's environment, as command lines stored in the registry use it.

#include "core/base/text.h"

namespace zc {

class EnvironmentApi {
 public:
  virtual ~EnvironmentApi() = default;

  // `text` with every %NAME% of a set variable replaced by its value; names of unset
  // variables stay as they are (as the platform's expansion leaves them).
  virtual Text ExpandVariables(TextView text) = 0;
};

}  // namespace zc
