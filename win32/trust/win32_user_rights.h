#pragma once
// A user's own right to delete a file, by the system's access check with that user's
// token: the token of the session's shell when it is that user's (the person at the
// keyboard; for an administrator in Admin Approval Mode, the filtered token they work
// with), or, running as LocalSystem, the token of a session that user is logged on to.
// No token of the user here: unknown. Whether the running account may end a process is
// the system's answer to opening it for termination with this process's own token.

#include "core/platform/user_rights_api.h"

namespace zc::win {

class Win32UserRights : public UserRightsApi {
 public:
  DeleteVerdict MayDelete(TextView userSid, TextView path) override;
  RightVerdict MayEndProcess(uint32_t processId) override;
};

}  // namespace zc::win
