#include "core/engine/command_line_file.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_environment.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_registry.h"

namespace zc {
namespace {

constexpr int32_t kHklm = fakes::kHkeyLocalMachine;

TEST(CommandLineFileTest, EveryFormLeadsToTheFileItStarts) {
  fakes::FakeFiles files;
  for (const char16_t* folder : {u"C:\\Windows", u"C:\\Windows\\System32", u"C:\\Windows\\System32\\drivers",
                                 u"C:\\Program Files", u"C:\\Program Files\\Bad App", u"C:\\Program Files\\Good Tool", u"C:\\Users",
                                 u"C:\\Users\\u", u"C:\\Users\\u\\AppData", u"C:\\Users\\u\\AppData\\Roaming",
                                 u"C:\\Users\\u\\AppData\\Roaming\\x", u"C:\\x"}) {
    files.AddFolder(folder);
  }
  for (const char16_t* file : {u"C:\\Users\\u\\AppData\\Roaming\\x\\mal.exe", u"C:\\x\\mal.exe",
                               u"C:\\Program Files\\Bad App\\run.exe", u"C:\\Program Files\\Bad.exe",
                               u"C:\\Program Files\\Good Tool\\tool.exe",
                               u"C:\\Windows\\System32\\svchost.exe", u"C:\\Windows\\System32\\evil.dll",
                               u"C:\\Windows\\System32\\drivers\\root.sys", u"C:\\x\\noext.exe"}) {
    files.AddFile(file);
  }
  fakes::FakeEnvironment environment;
  fakes::FakeProcesses processes;
  fakes::FakeRegistry registry;
  registry.SetText(kHklm, u"SYSTEM\\CurrentControlSet\\Services\\EvilHost\\Parameters", u"ServiceDll",
                   u"%SystemRoot%\\System32\\evil.dll", 2);
  CommandLineFiles lines(files, environment, processes, registry);

  struct Case {
    const char16_t* text;
    const char16_t* service;
    const char16_t* file;  // empty: no existing file
  };
  const Case cases[] = {
      {u"C:\\x\\mal.exe", u"", u"C:\\x\\mal.exe"},
      {u"\"C:\\Users\\u\\AppData\\Roaming\\x\\mal.exe\" /background", u"", u"C:\\Users\\u\\AppData\\Roaming\\x\\mal.exe"},
      {u"  \"C:\\x\\mal.exe\"", u"", u"C:\\x\\mal.exe"},
      {u"C:\\x\\mal.exe -s", u"", u"C:\\x\\mal.exe"},
      // Unquoted with blanks in folder names: the first existing file from the left wins.
      {u"C:\\Program Files\\Good Tool\\tool.exe --tray", u"", u"C:\\Program Files\\Good Tool\\tool.exe"},
      // C:\Program Files\Bad.exe is what the system would start for this text.
      {u"C:\\Program Files\\Bad App\\run.exe --tray", u"", u"C:\\Program Files\\Bad.exe"},
      {u"C:\\x\\noext /q", u"", u"C:\\x\\noext.exe"},
      {u"\"C:\\x\\noext\" /q", u"", u"C:\\x\\noext.exe"},
      {u"%APPDATA%\\x\\mal.exe", u"", u"C:\\Users\\u\\AppData\\Roaming\\x\\mal.exe"},
      {u"\"%appdata%\\x\\mal.exe\" -a", u"", u"C:\\Users\\u\\AppData\\Roaming\\x\\mal.exe"},
      {u"\\SystemRoot\\System32\\drivers\\root.sys", u"", u"C:\\Windows\\System32\\drivers\\root.sys"},
      {u"\\??\\C:\\x\\mal.exe", u"", u"C:\\x\\mal.exe"},
      {u"system32\\drivers\\root.sys", u"", u"C:\\Windows\\system32\\drivers\\root.sys"},
      // The shared service host runs the service's DLL; the host itself is never the file.
      {u"%SystemRoot%\\System32\\svchost.exe -k netsvcs", u"EvilHost", u"C:\\Windows\\System32\\evil.dll"},
      {u"C:\\Windows\\System32\\svchost.exe -k netsvcs", u"NoDll", u""},
      {u"C:\\Windows\\System32\\svchost.exe -k netsvcs", u"", u""},
      // Nothing there.
      {u"C:\\x\\gone.exe /s", u"", u""},
      {u"\"C:\\x\\gone.exe\" C:\\x\\mal.exe", u"", u""},  // an argument is never the file
      {u"%UNSET%\\mal.exe", u"", u""},
      {u"", u"", u""},
      {u"   ", u"", u""},
      {u"\"", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(lines.FileOf(c.text, c.service)), ToUtf8(c.file)) << ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace zc
