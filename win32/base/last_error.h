#pragma once
// The thread's last Windows error as the core's SystemError, for adapters whose calls
// report failure through GetLastError.

#include <windows.h>

#include "core/platform/system_error.h"

namespace zc::win {

inline SystemError LastError() { return static_cast<SystemError>(::GetLastError()); }

// None for a call that succeeded, else the error it left.
inline SystemError ResultOf(BOOL succeeded) { return succeeded ? SystemError::None : LastError(); }

}  // namespace zc::win
