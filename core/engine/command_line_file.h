#pragma once
// From the text a registry value or a service holds to the file it starts. Autorun
// values and service image paths are command lines, not paths: quoted with arguments
// ("C:\Users\u\AppData\Roaming\x\mal.exe" /background), unquoted with blanks in folder
// names and arguments after the file, holding environment variables (%SystemRoot%), in
// the kernel's forms (\SystemRoot\..., \??\C:\...), relative to the Windows folder
// (system32\drivers\x.sys), or the shared service host (svchost.exe -k group) whose
// payload is the service's Parameters\ServiceDll. The file steps of the treatment act on
// the file found this way, never on the text as it stands: an unquoted "C:\x\mal.exe -s"
// names C:\x\mal.exe, and a placeholder at "C:\x\mal.exe -s" would leave it untouched.

#include <vector>

#include "core/base/text.h"
#include "core/platform/environment_api.h"
#include "core/platform/file_api.h"
#include "core/platform/process_api.h"
#include "core/platform/registry_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// Where the program a command line names is looked for.
enum class StartedBy {
  Shell,           // an autorun value
  ServiceManager,  // a service's image path
  Process,         // a running process's command line
};
struct CommandContext {
  StartedBy startedBy = StartedBy::Shell;
  TextView serviceName;
  TextView currentFolder;
};
struct CommandTarget {
  std::vector<Text> files;
  Text host;
  bool dllHost = false;
  bool payloadNotIdentified = false;
};

class CommandLineFiles {
 public:
  CommandLineFiles(const ConstantTexts& texts, FileApi& files, EnvironmentApi& environment, ProcessApi& processes,
                   RegistryApi& registry)
      : texts_(texts), files_(files), environment_(environment), processes_(processes), registry_(registry) {}

  // The existing file that `commandLine` starts, resolved the way the system's process
  // creation reads a command line: a quoted first argument is the file; an unquoted one
  // is tried up to each blank in turn, with ".exe" added where it has no extension, and
  // the first existing file wins. `serviceName`, for a service's image path, leads the
  // shared service host to the service's own DLL. Empty when no existing file is named.
  Text FileOf(TextView commandLine, TextView serviceName = {});
  CommandTarget TargetOf(TextView commandLine, const CommandContext& context);

 private:
  // The text with its variables expanded and its kernel or Windows-relative form made a
  // full path.
  Text FullForm(TextView text);
  bool IsFile(TextView path);
  // The existing file a candidate names: itself, or itself with ".exe" where it has no
  // extension; empty when neither exists.
  Text ExistingFile(TextView candidate);
  Text ServiceDllOf(TextView serviceName);

  const ConstantTexts& texts_;
  FileApi& files_;
  EnvironmentApi& environment_;
  ProcessApi& processes_;
  RegistryApi& registry_;
};

}  // namespace zc
