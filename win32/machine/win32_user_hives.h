#pragma once
// Whose hives the program sees: the running token's user, the session's shell's user
// (the process behind the shell's window, its token's user: the person at the keyboard,
// whoever elevated), the people's hives loaded under HKEY_USERS, and the profiles whose
// hive is not loaded (from the profile list).

#include "core/platform/user_hives_api.h"

namespace zc::win {

class Win32UserHives : public UserHivesApi {
 public:
  UserHives Read() override;
};

}  // namespace zc::win
