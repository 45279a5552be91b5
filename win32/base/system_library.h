#pragma once
// Loads a library of the system from the system folder only: a library of the same name
// beside the executable or in the current folder is never taken.

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

// `name` is a bare file name ("winsta.dll"). An empty owner when the system folder does
// not hold it.
UniqueModule LoadSystemLibrary(const wchar_t* name);

}  // namespace zc::win
