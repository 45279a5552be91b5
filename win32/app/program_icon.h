#pragma once
// The program's own icon, drawn from our pixels at run time: a green round badge with
// a white cross on a transparent ground. The window and the notification-area icon
// both use it.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "win32/base/unique_handle.h"

namespace zc::win {

// Premultiplied-free 0xAARRGGBB pixels, rows from the top.
std::vector<uint32_t> ProgramIconPixels(int size);

UniqueIcon CreateProgramIcon(int size);

}  // namespace zc::win
