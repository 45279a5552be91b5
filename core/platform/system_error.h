#pragma once
// The system's own error number of a step that acts on the machine, as the platform
// reports it. `None` is success; every other value is the platform's number, kept as it
// came so that the log can name it. Being an enum class, a result can never be taken
// for a yes/no by accident.

#include <cstdint>

namespace zc {

enum class SystemError : uint32_t {
  None = 0,
  FileNotFound = 2,
  PathNotFound = 3,
  AccessDenied = 5,
  InvalidHandle = 6,
  SharingViolation = 32,
  FileExists = 80,
  InvalidParameter = 87,
  AlreadyExists = 183,
  DependentServicesRunning = 1051,
  ServiceRequestTimeout = 1053,
  ServiceCannotAcceptControl = 1061,
  ServiceNotActive = 1062,
  ServiceDoesNotExist = 1060,
  ServiceMarkedForDelete = 1072,
  Cancelled = 1223,
  PrivilegeNotHeld = 1314,  // a privilege the step needs is not in the account's token at all
  Timeout = 1460,
  // Not the platform's: the step was taken, but checking afterwards showed that it did
  // not have its effect (a file still at its path after a delete reported as done).
  NotConfirmed = 0x20000001,
  // Not the platform's: the way to a file leads elsewhere than its path says (a junction,
  // a mount point or a symbolic link on the way, a file with a second name, a substituted
  // drive), so the step was refused before it was taken.
  Redirected = 0x20000002,
};

constexpr uint32_t ErrorNumber(SystemError error) { return static_cast<uint32_t>(error); }

}  // namespace zc
