#include "win32/restore/restore_command.h"

#include <windows.h>

#include <utility>

#include "core/restore/backup_store.h"
#include "core/restore/restore_command_line.h"
#include "core/texts/constant_texts.h"
#include "win32/base/ansi.h"
#include "win32/log/win32_event_log.h"
#include "win32/log/own_error_log_machine.h"
#include "win32/log/win32_activity_log.h"
#include "win32/machine/win32_elevation.h"
#include "win32/restore/message_box_confirmation.h"
#include "win32/restore/restore_machine.h"
#include "win32/restore/store_for_this_copy.h"

namespace zc::win {

bool OfferElevatedRestore(const ConstantTexts& texts, ElevationApi& elevation, TextView folder, HWND owner) {
  const std::wstring title = ToWide(texts.Get(enc::MessageTitle));
  if (::MessageBoxW(owner, ToWide(texts.Get(enc::RestoreElevationNeeded)).c_str(), title.c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
    const SystemError started = elevation.StartElevated(RestoreCommandArguments(folder));
    if (started == SystemError::None) return true;
    const Text message = started == SystemError::Cancelled
                             ? texts.Get(enc::ElevationCancelled)
                             : texts.Get(enc::ElevationFailed) + DecimalText(ErrorNumber(started));
    ::MessageBoxW(owner, ToWide(message).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
    return false;
  }
  ::MessageBoxW(owner, ToWide(texts.Get(enc::ElevationCancelled)).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  return false;
}

int RunRestoreCommand(TextView folder) {
  Win32ActivityLog log;
  Win32Elevation elevation;
  OwnErrorLogMachine ownLog(elevation);
  const ConstantTexts texts(ownLog.log);
  // Without administrator rights only a folder of the account's own store is restored
  // here; any other needs an elevated copy, which checks the folder itself.
  StoreLocation store;
  if (!elevation.IsElevated()) {
    store = RunningAccountsOwnStore(texts);
    if (!NameDirectlyUnder(store.root, folder)) return OfferElevatedRestore(texts, elevation, folder, nullptr) ? 0 : 1;
  }
  RestoreMachine machine;
  MessageBoxConfirmation confirmation(texts);
  Win32EventLog events(texts.Get(enc::EventSourceName));
  RestoreRunner runner(machine.ForRestore(texts, log, confirmation, &events, std::move(store)),
                       RestoreRunner::TreatmentLimits(texts));
  const RestoreOutcome outcome = runner.Restore(folder);
  if (outcome.Succeeded()) return 0;
  ::MessageBoxW(nullptr, ToWide(RestoreProblemsMessage(texts, outcome)).c_str(),
                ToWide(texts.Get(enc::MessageTitle)).c_str(), MB_OK | MB_ICONINFORMATION);
  return 1;
}

}  // namespace zc::win
