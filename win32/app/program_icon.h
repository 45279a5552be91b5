#pragma once
// The program's own icon as a platform icon, made at run time from our pixels; the
// window and the notification-area icon both use it.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/app/program_icon_pixels.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

UniqueIcon CreateProgramIcon(int size);

}  // namespace zc::win
