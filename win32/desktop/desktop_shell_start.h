#pragma once
// Starts a program as the user who is logged on, with that user's own (unelevated)
// token, from an elevated process: the running shell's desktop starts it. The shell
// windows (CLSID_ShellWindows) give the desktop's window (FindWindowSW, SWC_DESKTOP),
// whose top-level browser gives the active shell view; that view's background object
// (IShellFolderViewDual) gives the shell's application object, and its
// IShellDispatch2::ShellExecute runs in the shell's process, under the shell's token.
// Nothing is ever started from the calling process itself: without a running shell
// (no desktop window, a shell of another kind) the start fails and says why.

#include <windows.h>

#include <string>

namespace zc::win {

// S_OK when the shell took the start; otherwise the failing step's HRESULT (the program
// itself may still fail to start later, in the shell).
HRESULT StartThroughDesktopShell(const std::wstring& program, const std::wstring& arguments,
                                 const std::wstring& folder);

}  // namespace zc::win
