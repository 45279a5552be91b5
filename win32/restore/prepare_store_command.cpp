#include "win32/restore/prepare_store_command.h"

#include <windows.h>

#include "core/platform/event_ids.h"
#include "core/restore/backup_store.h"
#include "core/texts/constant_texts.h"
#include "win32/log/own_error_log_machine.h"
#include "win32/machine/win32_elevation.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {

bool AsksToPrepareStore(const std::vector<Text>& arguments) {
  return arguments.size() == 1 && FoldCase(arguments[0]) == u"/prepare-store";
}

int RunPrepareStoreCommand() {
  Win32Elevation elevation;
  OwnErrorLogMachine ownLog(elevation);
  const ConstantTexts texts(ownLog.log);
  if (!elevation.IsElevated()) return 740;  // ERROR_ELEVATION_REQUIRED

  RestoreMachine machine;
  BackupStore store({texts, machine.files, machine.security});
  const bool ready = store.PrepareRoot();
  const Text line = texts.Get(ready ? enc::StorePrepared : enc::StoreNotPrepared) + store.Root() +
                    texts.Get(enc::LogLineEnd);
  // What went wrong goes to the event log alone: an elevated program writes no log of
  // its own into a folder.
  ownLog.events.Report(ready ? events::kStorePrepared : events::kStoreNotPrepared, line);
  return ready ? 0 : 1;
}

}  // namespace zc::win
