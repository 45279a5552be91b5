#include "core/engine/step_failure.h"

namespace zc {

Text ReasonText(const ConstantTexts& texts, SystemError error) {
  switch (error) {
    case SystemError::AccessDenied: return texts.Get(enc::ReasonAccessDenied);
    case SystemError::SharingViolation: return texts.Get(enc::ReasonInUse);
    case SystemError::FileNotFound:
    case SystemError::PathNotFound:
    case SystemError::ServiceDoesNotExist: return texts.Get(enc::ReasonNotFound);
    case SystemError::ServiceRequestTimeout:
    case SystemError::Timeout: return texts.Get(enc::ReasonTimeout);
    case SystemError::DependentServicesRunning: return texts.Get(enc::ReasonDependents);
    case SystemError::ServiceCannotAcceptControl: return texts.Get(enc::ReasonNotAccepted);
    case SystemError::NotConfirmed: return texts.Get(enc::ReasonStillThere);
    case SystemError::Redirected: return texts.Get(enc::ReasonRedirected);
    case SystemError::PrivilegeNotHeld: return texts.Get(enc::ReasonPrivilegeNotHeld);
    default: return texts.Get(enc::ReasonOther);
  }
}

Text FailedStepText(const ConstantTexts& texts, TextView step, SystemError error) {
  // A process step refused so only where a policy took the debug privilege from the
  // administrators: the line says which privilege, so that the policy can be found.
  const bool debugPrivilegeGone = error == SystemError::PrivilegeNotHeld && step == TextView(enc::StepEndProcess);
  Text line = texts.Get(step) + u": " +
              (debugPrivilegeGone ? texts.Get(enc::ReasonDebugPrivilegeRemoved) : ReasonText(texts, error));
  // The program's own findings (a delete that did not take) have no system number.
  if (error != SystemError::NotConfirmed) {
    line += u" (" + DecimalText(ErrorNumber(error)) + u")";
  }
  return line;
}

}  // namespace zc
