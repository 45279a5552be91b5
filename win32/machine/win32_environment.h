#pragma once
// The process's environment through ExpandEnvironmentStringsW, and another user's through
// ExpandEnvironmentStringsForUserW with that user's token (user_token.h). A user with no
// token here (not logged on) has no variables this program can know: their profile folder
// alone would not tell their redirected folders, their own TEMP or their PATH.

#include <windows.h>

#include "core/platform/environment_api.h"

namespace zc::win {

class Win32Environment : public EnvironmentApi {
 public:
  Text ExpandVariables(TextView text) override;
  std::optional<Text> ExpandVariablesFor(TextView userSid, TextView text) override;
};

// `text` expanded with the environment block of `token`'s user; nothing when the call
// fails. The token needs TOKEN_QUERY, TOKEN_IMPERSONATE and TOKEN_DUPLICATE access.
std::optional<Text> ExpandWithUserToken(HANDLE token, TextView text);

}  // namespace zc::win
