#pragma once
// What ntdll's process query tells of another process: its command line (the query class
// of Windows 8.1 and later), the parameters block it was started with (command line and
// current folder, read from its memory, as every version allows), and whether ending it
// stops the system. ntdll's query is looked up at run time.

#include <windows.h>

#include <optional>

#include "core/base/text.h"

namespace zc::win {

// The command-line query class (60). `process` needs PROCESS_QUERY_LIMITED_INFORMATION.
// Nothing where the class is refused (Windows 8 and earlier, Wine) or the answer is
// malformed.
std::optional<Text> QueryCommandLine(HANDLE process);

struct ProcessParametersBlock {
  Text commandLine;
  Text currentFolder;  // as stored: a folder usually ends with a separator there
};

// The process's parameters block, found through its environment block (PEB).
// `process` needs PROCESS_QUERY_INFORMATION | PROCESS_VM_READ. A 32-bit process under
// WOW64 is read through its 64-bit block. Nothing when a read fails, a length in the
// block is not plausible, or a text is empty or holds a NUL (a process still starting).
std::optional<ProcessParametersBlock> ReadProcessParametersBlock(HANDLE process);

// The break-on-termination flag (query class 29, a ULONG): true when the system stops
// once the process ends. Nothing where the class is not answered; `accessDenied` tells
// whether the handle lacked the access the query needs.
std::optional<bool> QueryBreakOnTermination(HANDLE process, bool& accessDenied);

// A folder as stored in a parameters block without its trailing separator, except at a
// drive root ("C:\").
Text FolderWithoutTrailingSeparator(TextView folder);

}  // namespace zc::win
