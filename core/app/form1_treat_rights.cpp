// Whose rights a treatment from the window runs with: this copy's own, for what the
// running account owns, or an elevated copy's, which finds the Findings again itself.

#include "core/app/form1.h"

namespace zc {

bool Form1::TreatsHere() {
  if (p_.elevation.IsElevated()) return true;
  // Without administrator rights the account treats what it owns itself.
  const int32_t needing = p_.checks.FindingsNeedingAdministrator();
  if (needing <= 0) return true;
  if (needing >= p_.results.RowCount()) return EnsureElevated(enc::ElevationNeeded);
  const Text title = p_.texts.Get(enc::MessageTitle);
  const Text question = p_.texts.Get(enc::OwnOrElevatedLead) + DecimalText(needing) +
                        p_.texts.Get(enc::OwnOrElevatedTail) + u"\r\n\r\n" + p_.texts.Get(enc::OwnOrElevatedYes) +
                        u"\r\n" + p_.texts.Get(enc::OwnOrElevatedNo) + u"\r\n" + p_.texts.Get(enc::OwnOrElevatedCancel);
  switch (p_.view.AskYesNoCancel(question, title)) {
    case Answer::Yes:
      HandOver();
      return false;
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  p_.view.ShowMessage(p_.texts.Get(enc::TreatmentCancelled), title, MessageIcon::Information);
  return false;
}

bool Form1::EnsureElevated(TextView question) {
  const Text title = p_.texts.Get(enc::MessageTitle);
  if (!p_.view.AskYesNo(p_.texts.Get(question), title)) {
    p_.view.ShowMessage(p_.texts.Get(enc::ElevationCancelled), title, MessageIcon::Information);
    return false;
  }
  HandOver();
  return false;
}

void Form1::HandOver() {
  // Only the request to treat crosses to the elevated copy. While this copy waits, its
  // window goes on answering, but the treat button takes no second click.
  handingOver_ = true;
  p_.view.SetTreatButtonEnabled(false);
  const HandOverResult result = p_.elevation.HandOverToElevatedCopy(kTreatNowArgument);
  handingOver_ = false;
  if (ended_) return;
  p_.view.SetTreatButtonEnabled(true);
  if (result.outcome == HandOverOutcome::Ready) {
    // The elevated copy carries on; two copies would watch and treat side by side.
    EndProgram();
    return;
  }
  TellWhyNoHandOver(result);
}

void Form1::TellWhyNoHandOver(const HandOverResult& result) {
  const Text title = p_.texts.Get(enc::MessageTitle);
  Text message;
  switch (result.outcome) {
    case HandOverOutcome::Ready:
    case HandOverOutcome::StoppedWaiting:
      return;
    case HandOverOutcome::NotStarted:
      message = result.error == SystemError::Cancelled
                    ? p_.texts.Get(enc::ElevationCancelled)
                    : p_.texts.Get(enc::ElevationFailed) + DecimalText(ErrorNumber(result.error));
      break;
    case HandOverOutcome::EndedBeforeReady:
      message = p_.texts.Get(enc::ElevatedCopyEnded) + DecimalText(result.exitCode) + u")";
      break;
    case HandOverOutcome::Unwatched:
      message = p_.texts.Get(enc::ElevatedCopyUnwatched);
      break;
  }
  p_.view.ShowMessage(message, title, MessageIcon::Information);
}

}  // namespace zc
