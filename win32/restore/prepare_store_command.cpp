#include "win32/restore/prepare_store_command.h"

#include <windows.h>

#include "core/platform/event_ids.h"
#include "core/restore/backup_store.h"
#include "core/texts/constant_texts.h"
#include "win32/log/log_failure_reporter.h"
#include "win32/log/win32_activity_log.h"
#include "win32/log/win32_event_log.h"
#include "win32/machine/win32_elevation.h"
#include "win32/machine/win32_user_install.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {

bool AsksToPrepareStore(const std::vector<Text>& arguments) {
  return arguments.size() == 1 && FoldCase(arguments[0]) == u"/prepare-store";
}

int RunPrepareStoreCommand() {
  Win32ActivityLog log;
  LogFailureReporter failures(log);
  const ConstantTexts texts(failures);
  Win32Elevation elevation;
  if (!elevation.IsElevated()) return 740;  // ERROR_ELEVATION_REQUIRED

  RestoreMachine machine;
  BackupStore store({texts, machine.files, machine.security});
  const bool ready = store.PrepareRoot();
  const Text line = texts.Get(ready ? enc::StorePrepared : enc::StoreNotPrepared) + store.Root() +
                    texts.Get(enc::LogLineEnd);
  if (!ready) {  // the program's own log of what went wrong, beside it
    Text programFolder = Win32UserInstall().RunningProgramPath();
    programFolder.erase(programFolder.find_last_of(u'\\') + 1);
    log.Log_Trans(line, programFolder);
  }
  Win32EventLog events(texts.Get(enc::EventSourceName));
  events.Report(ready ? events::kStorePrepared : events::kStoreNotPrepared, line);
  return ready ? 0 : 1;
}

}  // namespace zc::win
