#pragma once
// What a user's own token may do to a file. A value in a user's hive is that user's own
// data: an elevated treatment must not let it aim the administrator's rights at a file the
// user could not delete themselves (a Windows file, another user's, a program's in
// Program Files). The check is the system's own access check with that user's token:
// DELETE on the file, or FILE_DELETE_CHILD on its folder.

#include "core/base/text.h"

namespace zc {

enum class DeleteVerdict {
  May,
  MayNot,
  Unknown,  // no token of that user here (not logged on), or the file's security unreadable
};

class UserRightsApi {
 public:
  virtual ~UserRightsApi() = default;
  // Whether the user with SID `userSid` may delete the file at `path`.
  virtual DeleteVerdict MayDelete(TextView userSid, TextView path) = 0;
};

}  // namespace zc
