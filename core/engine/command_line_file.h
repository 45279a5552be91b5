#pragma once
// From the text a registry value, a service or a process holds to the files it runs.
// Autorun values and service image paths are command lines, not paths: quoted with
// arguments ("C:\Users\u\AppData\Roaming\x\mal.exe" /background), unquoted with blanks in
// folder names and arguments after the file, holding environment variables
// (%SystemRoot%), in the kernel's forms (\SystemRoot\..., \??\C:\...), relative to the
// Windows folder (system32\drivers\x.sys), or a bare name the starter looks for. And
// most bots are no program of their own: a host program (host_programs.h) runs them
// (rundll32 x.dll,Start; wscript x.vbs; cmd /c start "" x.exe; the shared service host
// with the service's Parameters\ServiceDll). The file steps of the treatment act on the
// files found this way, never on the text as it stands and never on a host.
//
// Names are looked for where their starter looks, never in this program's own current
// folder: only full paths reach the file system.

#include <vector>

#include "core/base/text.h"
#include "core/engine/command_target.h"
#include "core/engine/host_programs.h"
#include "core/platform/environment_api.h"
#include "core/platform/file_api.h"
#include "core/platform/process_api.h"
#include "core/platform/registry_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

class CommandLineFiles {
 public:
  CommandLineFiles(const ConstantTexts& texts, FileApi& files, EnvironmentApi& environment, ProcessApi& processes,
                   RegistryApi& registry)
      : texts_(texts), files_(files), environment_(environment), processes_(processes), registry_(registry) {}

  // The files `commandLine` runs. Its program is read the way process creation reads a
  // command line: a quoted first argument is the program; an unquoted one is tried up to
  // each blank in turn, with ".exe" added where it has no extension, and the first
  // existing file wins. A program that is no host is itself the file; a host's payloads
  // are found from its arguments, commands it runs are read again (to a depth of 8).
  CommandTarget TargetOf(TextView commandLine, const CommandContext& context);

  // The first file TargetOf finds (for a service's image path when `serviceName` is
  // given, else for an autorun value); empty when there is none.
  Text FileOf(TextView commandLine, TextView serviceName = {});

 private:
  struct Where {
    StartedBy startedBy = StartedBy::Shell;
    Text currentFolder;  // empty: unknown
    Text serviceName;
    bool nested = false;  // a command another host runs (cmd /c, schtasks /tr, ...)
  };
  struct Progress {
    CommandTarget target;
    bool hostAtTop = false;
  };

  void ResolveCommand(TextView commandLine, const Where& where, int depth, bool topLevel, Progress& progress);
  void ResolvePayload(const PayloadName& payload, TextView hostFile, const Where& where, int depth, bool topLevel,
                      Progress& progress);

  // Where each starter finds a name; empty when no existing file is found.
  Text FindProgram(TextView name, const Where& where, bool& foundBySearch);
  Text FindLibrary(TextView name, TextView hostFile, const Where& where);
  Text FindFile(TextView name, TextView folder);
  Text FromAppPaths(TextView name);
  std::vector<Text> SearchPath(const Where& where);
  Text FolderOf(TextView folder, const Where& where);

  // The text with its variables expanded: this program's own, or, for another user's
  // line, that user's (noting when they cannot be had).
  Text Expanded(TextView text);
  // The text with its variables expanded and its kernel or Windows-relative form made a
  // full path.
  Text FullForm(TextView text);
  bool IsFile(TextView path);
  // The existing file a full path names: itself, or (where it has no extension) itself
  // with one of `extensions` added; empty when none exists.
  Text ExistingFile(TextView path, std::initializer_list<TextView> extensions);
  bool InWindowsSystemFolder(TextView file);
  Text ServiceDllOf(TextView serviceName);

  const ConstantTexts& texts_;
  FileApi& files_;
  EnvironmentApi& environment_;
  ProcessApi& processes_;
  RegistryApi& registry_;
  // The line being read: whose variables it uses (empty: this program's own), and
  // whether some of them could not be had.
  Text userSid_;
  bool variablesUnknown_ = false;
};

}  // namespace zc
