#pragma once
// The programs that run another file: Windows' own hosts (the DLL host, the COM
// registrar, the script hosts, the command interpreter, PowerShell, the installer, the
// task tool...) and the common runtimes (Java, Python, Node, AutoIt, AutoHotkey). A
// bot started through one of them lives in the file its arguments name, never in the
// host, which is shared by every other program that uses it. This is the one table of
// them: each row names a program and reads, from the arguments it was given, the
// payload it runs.

#include <functional>
#include <vector>

#include "core/base/text.h"

namespace zc {

enum class PayloadKind {
  Library,        // a DLL the host loads; found by the library search order
  File,           // a script, archive or other file the host reads; a full path, or
                  // relative to the folder the host runs in
  Command,        // a further command line the host starts (resolved as one, again)
  ServiceDll,     // the shared service host: the DLL of the service it runs
  NotIdentified,  // an address, an inline script or a module: nothing on this machine
};

// One payload a host's arguments name.
struct PayloadName {
  PayloadKind kind = PayloadKind::NotIdentified;
  Text text;                    // the path, the command line or the service name, unquoted
  bool loadedIntoHost = false;  // a library loaded into the host's own process
  Text folder;                  // the folder a command runs in (start /d, forfiles /p);
                                // empty: the host's own
  // For a library that is one of Windows' own (it lies in the Windows folder's system
  // folder) and itself runs something: what it runs is the payload, never the library.
  std::vector<PayloadName> insteadWhenWindowsOwn;
};

// What a reader may ask of the machine: whether a text names a program the command
// interpreter would start (its quote rule depends on it).
struct HostReading {
  std::function<bool(TextView)> namesProgram;
};

// Reads a host's arguments (the command line after the program) into the payloads they
// name; empty when they name none (the host runs on its own).
using HostArgumentReader = std::vector<PayloadName> (*)(TextView arguments, const HostReading& reading);

struct HostProgram {
  const char16_t* name;        // the file name without ".exe", lower case
  HostArgumentReader read;     // how its arguments name its payload
};

// The row for a program's file name (letter case ignored, with or without ".exe"; any
// folder in front is ignored); nullptr for a program that runs no other file.
const HostProgram* FindHostProgram(TextView fileName);

// Every row, for tests and documentation.
const std::vector<HostProgram>& HostPrograms();

// The second level of the DLL host: an entry of one of Windows' own DLLs that itself
// runs something (rundll32 url.dll,FileProtocolHandler x.exe runs x.exe). Reads the text
// after the entry into what it runs.
using DllEntryReader = std::vector<PayloadName> (*)(TextView afterEntry);

struct WindowsDllRunner {
  const char16_t* dll;    // the DLL's file name, lower case
  const char16_t* entry;  // the entry's name, lower case
  DllEntryReader read;
};

// The runner for a DLL's file name and entry (letter case ignored; ".dll" assumed when
// the name has no extension); nullptr when that entry runs nothing of its own.
const WindowsDllRunner* FindWindowsDllRunner(TextView dllName, TextView entry);

}  // namespace zc
