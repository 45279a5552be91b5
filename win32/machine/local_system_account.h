#pragma once
// Whether this process runs as LocalSystem: its token's user is S-1-5-18 (as when a
// management agent or a service starts the program), not an interactive user's account.

#include <windows.h>

namespace zc::win {

// True for the SID S-1-5-18 only (not LocalService S-1-5-19, not NetworkService S-1-5-20).
bool IsLocalSystemSid(PSID sid);

// The token's user (TokenUser) is LocalSystem. False when the token cannot be read.
bool RunsAsLocalSystem();

}  // namespace zc::win
