#pragma once
// A token of a given user, found where this program may take one: the token of the
// session's shell when the shell runs as that user (the person at the keyboard; for an
// administrator in Admin Approval Mode, the filtered token they work with), or, running
// as LocalSystem, the token of a session that user is logged on to. Nothing when that
// user has no such token here (not logged on, or only through a service or a task).

#include <string_view>

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

// The user's token, opened with TOKEN_QUERY | TOKEN_DUPLICATE (duplicate it for other
// uses); `sid` is the user's SID as text, compared ignoring letter case.
UniqueHandle TokenOfUser(std::wstring_view sid);

}  // namespace zc::win
