#pragma once
// How each host program names its payload in its arguments: one reader per form, used
// by the table in host_programs.cpp. A reader only reads text; where the names lead on
// disk is the resolver's work (command_line_file.h).

#include <vector>

#include "core/engine/host_programs.h"

namespace zc {

// rundll32: "path,entry args", the path quoted or not, blanks allowed before the comma;
// a library loaded into the host. Where the library is Windows' own and its entry runs
// something (the second-level table), that is the payload instead.
std::vector<PayloadName> ReadDllHostArguments(TextView arguments, const HostReading& reading);

// regsvr32: each library named (options /s /u /n /c /e skipped), loaded into the host;
// "/i:TEXT" with a local file names that file as well (with a Windows library such as
// the script-component runtime it is the only payload; an address is none).
std::vector<PayloadName> ReadRegistrarArguments(TextView arguments, const HostReading& reading);

// wscript, cscript: the first word that is no "//" option is the script.
std::vector<PayloadName> ReadScriptHostArguments(TextView arguments, const HostReading& reading);

// mshta: a local .hta file; an address or inline script (vbscript:, javascript:,
// http:) is none.
std::vector<PayloadName> ReadHtmlApplicationArguments(TextView arguments, const HostReading& reading);

// msiexec: /y or /z LIBRARY (loaded into the host); /i or /package with a local
// package; a package given by address is none.
std::vector<PayloadName> ReadInstallerArguments(TextView arguments, const HostReading& reading);

// java, javaw: -jar ARCHIVE; a class name (or a module) is none; the values of -cp,
// -classpath and the like are no payload.
std::vector<PayloadName> ReadJavaArguments(TextView arguments, const HostReading& reading);

// python, pythonw, py: the first word after the options is the script; -c (inline
// code), -m (a module) and - (standard input) name none.
std::vector<PayloadName> ReadPythonArguments(TextView arguments, const HostReading& reading);

// node: the first word after the options is the script; -e, -p (inline code) name none.
std::vector<PayloadName> ReadNodeArguments(TextView arguments, const HostReading& reading);

// autoit3: the script (or /AutoIt3ExecuteScript SCRIPT); /AutoIt3ExecuteLine names none.
std::vector<PayloadName> ReadAutoItArguments(TextView arguments, const HostReading& reading);

// autohotkey: the first word after its "/" options is the script; "*" (standard input)
// names none.
std::vector<PayloadName> ReadAutoHotkeyArguments(TextView arguments, const HostReading& reading);

// explorer: the first word after its "/" options is the file it opens; a shell
// location or address is none.
std::vector<PayloadName> ReadExplorerArguments(TextView arguments, const HostReading& reading);

// cmstp, regasm, regsvcs, installutil: the first word that is no "/" or "-" option is
// the file (an .inf profile, an assembly).
std::vector<PayloadName> ReadFirstFileArgument(TextView arguments, const HostReading& reading);

// odbcconf: every {REGSVR LIBRARY} action (after /a or -a), loaded into the host.
std::vector<PayloadName> ReadOdbcConfigurationArguments(TextView arguments, const HostReading& reading);

// control: an item file "x.cpl" (up to a comma); a named item or folder is none.
std::vector<PayloadName> ReadControlPanelArguments(TextView arguments, const HostReading& reading);

// svchost: "-k GROUP" runs a service's DLL: the service named by "-s NAME", else the
// service the command line belongs to. Without -k it names none.
std::vector<PayloadName> ReadServiceHostArguments(TextView arguments, const HostReading& reading);

// The second level of the DLL host, what follows the entry of a Windows DLL:
// a file or command it starts (url.dll,FileProtocolHandler; an address is none),
std::vector<PayloadName> ReadStartedFile(TextView afterEntry);
// a command line it starts (shell32.dll,ShellExec_RunDLL; zipfldr.dll,RouteTheCall),
std::vector<PayloadName> ReadStartedCommand(TextView afterEntry);
// a control panel item it loads into the host (shell32.dll,Control_RunDLL x.cpl,@0),
std::vector<PayloadName> ReadLoadedItem(TextView afterEntry);
// a setup information file it installs (advpack.dll,LaunchINFSection x.inf,Section).
std::vector<PayloadName> ReadInstalledInf(TextView afterEntry);

}  // namespace zc
