#pragma once
// Whether the program runs with an administrator's full token, and starting it again
// with one. Treatment and restore change the machine's services, processes, files and
// machine-wide registry values, which a standard user's token may not; the user is
// asked before the program starts itself again elevated.

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

class ElevationApi {
 public:
  virtual ~ElevationApi() = default;

  // True when the process token is elevated (an administrator's full token, or a
  // system where there is no split token).
  virtual bool IsElevated() = 0;

  // Starts this program again with an elevated token, with `arguments` as its command
  // line after the program's path, and returns without waiting. `Cancelled` when the
  // user declined the elevation prompt.
  virtual SystemError StartElevated(TextView arguments) = 0;
};

}  // namespace zc
