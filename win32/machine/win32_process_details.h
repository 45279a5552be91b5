#pragma once
// A running process's command line, current folder, loaded modules and criticality.
//   CommandLine    the command-line query (Windows 8.1 and later, limited query access);
//                  where that class is refused (Windows 7, Wine), the parameters block
//                  read from the process's memory (query and read access)
//   CurrentFolder  the parameters block
//   LoadedModules  EnumProcessModulesEx (every module, 32- and 64-bit) and
//                  GetModuleFileNameExW, in drive-letter form
//   CriticalState  IsProcessCritical (kernel32 of Windows 8.1 and later, looked up at
//                  run time), else the break-on-termination query; Unknown where neither
//                  answers. The idle process (0) and the system process (4) are never
//                  opened: they are Critical.

#include "core/platform/process_details_api.h"

namespace zc::win {

class Win32ProcessDetails : public ProcessDetailsApi {
 public:
  std::optional<Text> CommandLine(uint32_t processId) override;
  std::optional<Text> CurrentFolder(uint32_t processId) override;
  std::optional<std::vector<Text>> LoadedModules(uint32_t processId) override;
  Criticality CriticalState(uint32_t processId) override;
};

// A module path as the loader may give it ("\\?\C:\x.dll", "\\?\UNC\server\share\x.dll")
// in the ordinary form ("C:\x.dll", "\\server\share\x.dll"); other paths unchanged.
Text WithoutLongPathPrefix(TextView path);

}  // namespace zc::win
