#pragma once
// A top-level test window with a black background (as the main window has) and the
// helpers the window tests share: pumping messages and reading the process's memory.

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win::testing {

// A visible 683 x 409 client-area window at the screen's top-left. Each BN_CLICKED
// notification it receives adds one to `*clicks` when given.
UniqueWindow CreateHostWindow(const wchar_t* title, int* clicks = nullptr);

// Handles every pending message, then keeps doing so for `milliseconds`.
void Pump(DWORD milliseconds = 0);

// The process's working set in bytes.
size_t WorkingSet();

}  // namespace zc::win::testing
