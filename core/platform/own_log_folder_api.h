#pragma once
// The folder of the running account's own data where an unelevated copy keeps its own
// error log: the local application data folder, which that account (and only it and
// administrators) may write.

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

class OwnLogFolderApi {
 public:
  virtual ~OwnLogFolderApi() = default;

  // The running account's local application data folder, without a trailing
  // separator; empty when the system does not say.
  virtual Text LocalAppDataFolder() = 0;

  // Makes the folder `path` when it is not there. `None` when a plain folder (not a
  // link) is there afterwards.
  virtual SystemError MakeFolder(TextView path) = 0;
};

}  // namespace zc
