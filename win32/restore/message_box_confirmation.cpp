#include "win32/restore/message_box_confirmation.h"

#include <windows.h>

#include "win32/base/ansi.h"

namespace zc::win {

bool MessageBoxConfirmation::Confirm(TextView question) {
  // Task-modal: every window of this thread waits for the answer.
  return ::MessageBoxW(nullptr, ToWide(question).c_str(), ToWide(texts_.Get(enc::MessageTitle)).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TASKMODAL) == IDYES;
}

}  // namespace zc::win
