#pragma once
// What a user's own token may do to a file, and what the running account may do to a
// process. A value in a user's hive is that user's own data: an elevated treatment must
// not let it aim the administrator's rights at a file the user could not delete
// themselves (a Windows file, another user's, a program's in Program Files). The check
// is the system's own access check with that user's token: DELETE on the file, or
// FILE_DELETE_CHILD on its folder. A treatment without administrator rights takes only
// what the running account may take: its own processes and the files it may delete.

#include <cstdint>

#include "core/base/text.h"

namespace zc {

enum class RightVerdict {
  May,
  MayNot,
  Unknown,  // no token of that user here (not logged on), or the item's security unreadable
};
using DeleteVerdict = RightVerdict;

class UserRightsApi {
 public:
  virtual ~UserRightsApi() = default;
  // Whether the user with SID `userSid` may delete the file at `path`.
  virtual DeleteVerdict MayDelete(TextView userSid, TextView path) = 0;
  // Whether the running account's own token may end the process: the system's answer
  // to opening it for termination. A process that has gone has nothing left to end.
  virtual RightVerdict MayEndProcess(uint32_t processId) = 0;
};

}  // namespace zc
