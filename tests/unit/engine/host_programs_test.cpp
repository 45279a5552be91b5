// The table of host programs: which file names are hosts (letter case, ".exe", any
// folder), which entries of Windows' own DLLs run another file, and how argument words
// are read.

#include "core/engine/host_programs.h"

#include <gtest/gtest.h>

#include "core/engine/command_words.h"

namespace zc {
namespace {

TEST(HostProgramsTest, HostsAreKnownByFileNameWhereverTheyAre) {
  struct Case {
    const char16_t* fileName;
    const char16_t* row;  // the row's name; empty: no host
  };
  const Case cases[] = {
      {u"rundll32.exe", u"rundll32"},
      {u"RUNDLL32.EXE", u"rundll32"},
      {u"rundll32", u"rundll32"},
      {u"C:\\Windows\\SysWOW64\\rundll32.exe", u"rundll32"},
      {u"C:\\WINDOWS\\system32\\SVCHOST.EXE", u"svchost"},
      {u"C:/Windows/System32/WScript.exe", u"wscript"},
      {u"cscript.EXE", u"cscript"},
      {u"mshta", u"mshta"},
      {u"cmd.exe", u"cmd"},
      {u"C:\\Windows\\System32\\WindowsPowerShell\\v1.0\\powershell.exe", u"powershell"},
      {u"pwsh.exe", u"pwsh"},
      {u"regsvr32.exe", u"regsvr32"},
      {u"msiexec.exe", u"msiexec"},
      {u"schtasks.exe", u"schtasks"},
      {u"javaw.exe", u"javaw"},
      {u"java", u"java"},
      {u"pythonw.exe", u"pythonw"},
      {u"py.exe", u"py"},
      {u"node.exe", u"node"},
      {u"AutoIt3_x64.exe", u"autoit3_x64"},
      {u"AutoHotkeyU64.exe", u"autohotkeyu64"},
      {u"autohotkey64.exe", u"autohotkey64"},
      {u"C:\\Windows\\explorer.exe", u"explorer"},
      {u"forfiles.exe", u"forfiles"},
      {u"cmstp.exe", u"cmstp"},
      {u"RegAsm.exe", u"regasm"},
      {u"RegSvcs.exe", u"regsvcs"},
      {u"InstallUtil.exe", u"installutil"},
      {u"odbcconf.exe", u"odbcconf"},
      {u"control.exe", u"control"},
      // No hosts: other programs, other extensions, names that merely contain a host's.
      {u"C:\\x\\mal.exe", u""},
      {u"rundll32.dll", u""},
      {u"rundll32.exe.bak", u""},
      {u"myrundll32.exe", u""},
      {u"cmd.bat", u""},
      {u"C:\\rundll32.exe\\evil.exe", u""},
      {u"", u""},
  };
  for (const Case& c : cases) {
    const HostProgram* host = FindHostProgram(c.fileName);
    EXPECT_EQ(ToUtf8(host ? Text(host->name) : Text()), ToUtf8(c.row)) << ToUtf8(c.fileName);
  }
  // Every row's name is written as the lookup compares it.
  for (const HostProgram& host : HostPrograms()) {
    EXPECT_EQ(ToUtf8(FoldCase(host.name)), ToUtf8(host.name));
    EXPECT_EQ(FindHostProgram(host.name), &host);
  }
}

TEST(HostProgramsTest, WindowsDllEntriesThatRunAnotherFile) {
  struct Case {
    const char16_t* dll;
    const char16_t* entry;
    bool runs;
  };
  const Case cases[] = {
      {u"url.dll", u"FileProtocolHandler", true},  {u"URL", u"fileprotocolhandler", true},
      {u"shell32.dll", u"ShellExec_RunDLL", true}, {u"C:\\Windows\\System32\\shell32.dll", u"Control_RunDLL", true},
      {u"advpack.dll", u"LaunchINFSection", true}, {u"zipfldr.dll", u"RouteTheCall", true},
      {u"shell32.dll", u"SHHelpShortcuts_RunDLL", false}, {u"url.dll", u"", false},
      {u"evil.dll", u"FileProtocolHandler", false},  {u"shell32.dll.bak", u"ShellExec_RunDLL", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindWindowsDllRunner(c.dll, c.entry) != nullptr, c.runs) << ToUtf8(c.dll) << " " << ToUtf8(c.entry);
}

TEST(CommandWordsTest, WordsAreReadAsAProgramsStartUpCodeReadsThem) {
  struct Case {
    const char16_t* line;
    const char16_t* words;  // joined by "|"
  };
  const Case cases[] = {
      {u"  a  b\tc ", u"a|b|c"},
      {u"\"C:\\My Files\\a.exe\" -x", u"C:\\My Files\\a.exe|-x"},
      {u"/i:\"C:\\x y\\a.sct\" b", u"/i:C:\\x y\\a.sct|b"},
      {u"\"a \"\"quoted\"\" word\"", u"a \"quoted\" word"},
      {u"a\\\\\"b c\" d", u"a\\b c|d"},    // two backslashes: one, and the quote opens
      {u"a\\\"b c", u"a\"b|c"},           // one backslash: a literal quote
      {u"C:\\dir\\ x", u"C:\\dir\\|x"},  // backslashes before no quote stay
      {u"\"unclosed tail", u"unclosed tail"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    Text joined;
    for (const CommandWord& word : SplitCommandWords(c.line)) joined += (joined.empty() ? u"" : u"|") + word.text;
    EXPECT_EQ(ToUtf8(joined), ToUtf8(c.words)) << ToUtf8(c.line);
  }
  EXPECT_TRUE(HasAddressScheme(u"https://x"));
  EXPECT_TRUE(HasAddressScheme(u"vbscript:Execute"));
  EXPECT_FALSE(HasAddressScheme(u"C:\\x.hta"));
  EXPECT_FALSE(HasAddressScheme(u"x.hta"));
}

}  // namespace
}  // namespace zc
