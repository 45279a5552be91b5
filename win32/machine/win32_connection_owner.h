#pragma once
// The services that own a process's TCP connections and listeners: the extended TCP
// tables with owner modules (IPv4 and IPv6), and for each row of the process the owner
// module the system tagged it with (GetOwnerModuleFromTcpEntry, ...Tcp6Entry). A row a
// service opened names the service; a row of the program itself names its image file
// (with the image's full path), and the system's own rows read "System": neither is a
// service's name.

#include "core/platform/connection_owner_api.h"

namespace zc::win {

class Win32ConnectionOwner : public ConnectionOwnerApi {
 public:
  // Nothing when the IPv4 table cannot be read; an IPv6 table that cannot be read (a
  // system without IPv6) adds no names. A row whose owner the system does not tell
  // adds none either.
  std::optional<std::vector<Text>> ServicesOwningConnections(uint32_t processId) override;
};

// Whether an owner module's name and path name a service, not the program's image file
// or the system.
bool OwnerModuleIsService(TextView moduleName, TextView modulePath);

}  // namespace zc::win
