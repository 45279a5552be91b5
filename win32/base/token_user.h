#pragma once
// The user a token stands for: its TOKEN_USER, the SID in it, the SID as text.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zc::win {

// The token's TOKEN_USER in a buffer of its own; empty when it cannot be read or holds
// no valid SID.
std::vector<BYTE> TokenUserBytes(HANDLE token);
// The same for this process's own token.
std::vector<BYTE> ProcessUserBytes();

// The SID inside a buffer TokenUserBytes filled (not empty).
inline PSID UserSidIn(std::vector<BYTE>& bytes) { return reinterpret_cast<TOKEN_USER*>(bytes.data())->User.Sid; }

// A SID as text ("S-1-5-21-..."); empty when it cannot be written.
std::wstring SidText(PSID sid);

// The token's user as SID text; nothing when it cannot be read.
std::optional<std::wstring> TokenUserSidText(HANDLE token);

}  // namespace zc::win
