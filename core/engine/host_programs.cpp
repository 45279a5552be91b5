#include "core/engine/host_programs.h"

#include "core/engine/command_words.h"
#include "core/engine/file_target.h"
#include "core/engine/host_arguments.h"
#include "core/engine/interpreter_arguments.h"

namespace zc {

const std::vector<HostProgram>& HostPrograms() {
  // One row per program: its file name and how its arguments name what it runs.
  static const std::vector<HostProgram> kHosts = {
      {u"rundll32", ReadDllHostArguments},             // "dll,entry args"; Windows' DLLs: what the entry runs
      {u"regsvr32", ReadRegistrarArguments},           // its DLLs; /i:FILE
      {u"wscript", ReadScriptHostArguments},           // the script ("//" options skipped)
      {u"cscript", ReadScriptHostArguments},           // the script ("//" options skipped)
      {u"mshta", ReadHtmlApplicationArguments},        // a local .hta; addresses and inline scripts: none
      {u"cmd", ReadCommandInterpreterArguments},       // each command of /c, /r, /k, recursively
      {u"powershell", ReadWindowsPowerShellArguments}, // -File SCRIPT; -Command, -EncodedCommand: none
      {u"pwsh", ReadPwshArguments},                    // -File SCRIPT or a bare script path
      {u"msiexec", ReadInstallerArguments},            // /y DLL, /z DLL; /i PACKAGE when local
      {u"schtasks", ReadTaskSchedulerArguments},       // the command of /tr, recursively
      {u"java", ReadJavaArguments},                    // -jar ARCHIVE
      {u"javaw", ReadJavaArguments},                   // -jar ARCHIVE
      {u"python", ReadPythonArguments},                // the script; -c, -m: none
      {u"pythonw", ReadPythonArguments},               // the script; -c, -m: none
      {u"python3", ReadPythonArguments},               // the script; -c, -m: none
      {u"py", ReadPythonArguments},                    // the script; -c, -m: none
      {u"pyw", ReadPythonArguments},                   // the script; -c, -m: none
      {u"node", ReadNodeArguments},                    // the script; -e, -p: none
      {u"autoit3", ReadAutoItArguments},               // the script
      {u"autoit3_x64", ReadAutoItArguments},           // the script
      {u"autohotkey", ReadAutoHotkeyArguments},        // the script
      {u"autohotkey32", ReadAutoHotkeyArguments},      // the script
      {u"autohotkey64", ReadAutoHotkeyArguments},      // the script
      {u"autohotkeya32", ReadAutoHotkeyArguments},     // the script
      {u"autohotkeyu32", ReadAutoHotkeyArguments},     // the script
      {u"autohotkeyu64", ReadAutoHotkeyArguments},     // the script
      {u"autohotkeyux", ReadAutoHotkeyArguments},      // the script
      {u"explorer", ReadExplorerArguments},            // the file it opens
      {u"forfiles", ReadForFilesArguments},            // the command of /c, in the folder of /p
      {u"cmstp", ReadFirstFileArgument},               // the .inf profile
      {u"regasm", ReadFirstFileArgument},              // the assembly
      {u"regsvcs", ReadFirstFileArgument},             // the assembly
      {u"installutil", ReadFirstFileArgument},         // the assembly
      {u"odbcconf", ReadOdbcConfigurationArguments},   // {REGSVR DLL}
      {u"control", ReadControlPanelArguments},         // an item's .cpl
      {u"svchost", ReadServiceHostArguments},          // the service's ServiceDll, never the host
  };
  return kHosts;
}

const HostProgram* FindHostProgram(TextView fileName) {
  Text name = FoldCase(FileNameOf(fileName));
  if (EndsWithFolded(name, u".exe")) name.resize(name.size() - 4);
  for (const HostProgram& host : HostPrograms())
    if (name == host.name) return &host;
  return nullptr;
}

namespace {

// The entries of Windows' own DLLs that start or load another file.
const WindowsDllRunner kDllRunners[] = {
    {u"url.dll", u"fileprotocolhandler", ReadStartedFile},
    {u"url.dll", u"openurl", ReadStartedFile},
    {u"url.dll", u"openurla", ReadStartedFile},
    {u"ieframe.dll", u"openurl", ReadStartedFile},
    {u"shdocvw.dll", u"openurl", ReadStartedFile},
    {u"shell32.dll", u"shellexec_rundll", ReadStartedCommand},
    {u"shell32.dll", u"shellexec_rundlla", ReadStartedCommand},
    {u"shell32.dll", u"shellexec_rundllw", ReadStartedCommand},
    {u"zipfldr.dll", u"routethecall", ReadStartedCommand},
    {u"shell32.dll", u"control_rundll", ReadLoadedItem},
    {u"shell32.dll", u"control_rundlla", ReadLoadedItem},
    {u"shell32.dll", u"control_rundllw", ReadLoadedItem},
    {u"shell32.dll", u"control_rundllasuser", ReadLoadedItem},
    {u"advpack.dll", u"launchinfsection", ReadInstalledInf},
    {u"advpack.dll", u"launchinfsectionex", ReadInstalledInf},
    {u"ieadvpack.dll", u"launchinfsection", ReadInstalledInf},
    {u"ieadvpack.dll", u"launchinfsectionex", ReadInstalledInf},
};

}  // namespace

const WindowsDllRunner* FindWindowsDllRunner(TextView dllName, TextView entry) {
  Text name = FoldCase(FileNameOf(dllName));
  if (FileNameOf(name).find(u'.') == Text::npos) name += u".dll";
  const Text folded = FoldCase(TrimBlanks(entry));
  for (const WindowsDllRunner& runner : kDllRunners)
    if (name == runner.dll && folded == runner.entry) return &runner;
  return nullptr;
}

}  // namespace zc
