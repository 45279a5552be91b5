#include "core/app/start_kind.h"

namespace zc {

StartKind StartKindOf(const std::vector<Text>& arguments, ElevationApi& elevation) {
  if (arguments.size() != 1 || FoldCase(arguments[0]) != kTreatNowArgument) return StartKind::Normal;
  return elevation.IsElevated() ? StartKind::TreatNow : StartKind::Normal;
}

bool GoesOnInSession(SessionCopyApi& session, StartKind kind) {
  switch (session.Claim()) {
    case SessionClaim::First:
    case SessionClaim::Unknown:
      return true;
    case SessionClaim::AnotherRuns:
      // The copy that started this one to treat waits for it and then ends.
      if (kind == StartKind::TreatNow) return true;
      session.CallRunningCopyForward();
      return false;
  }
  return true;
}

}  // namespace zc
