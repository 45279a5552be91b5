#include "win32/restore/restore_command.h"

#include <windows.h>

#include "core/texts/constant_texts.h"
#include "win32/base/ansi.h"
#include "win32/log/log_failure_reporter.h"
#include "win32/log/win32_activity_log.h"
#include "win32/restore/message_box_confirmation.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {

int RunRestoreCommand(TextView folder) {
  Win32ActivityLog log;
  LogFailureReporter failures(log);
  const ConstantTexts texts(failures);
  RestoreMachine machine;
  MessageBoxConfirmation confirmation(texts);
  RestoreRunner runner(machine.ForRestore(texts, log, confirmation), RestoreRunner::TreatmentLimits(texts));
  const RestoreOutcome outcome = runner.Restore(folder);
  if (outcome.Succeeded()) return 0;
  ::MessageBoxW(nullptr, ToWide(RestoreProblemsMessage(texts, outcome)).c_str(),
                ToWide(texts.Get(enc::MessageTitle)).c_str(), MB_OK | MB_ICONINFORMATION);
  return 1;
}

}  // namespace zc::win
