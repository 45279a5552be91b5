#pragma once
// How this copy of the program was started, and whether it goes on. The unelevated copy
// hands only one request to the elevated copy it starts to treat: "/treat-now". The
// elevated copy then finds the Findings again itself; nothing the unelevated copy found
// or says steers what it treats. The request is honoured only by an elevated copy: an
// unelevated one started with it starts as usual.
//
// One copy runs per user and session. A second start brings the running copy's window
// forward and ends, except the elevated copy an unelevated one started to treat: that
// one starts while the first waits for it, and the first ends once it is ready.

#include <vector>

#include "core/base/text.h"
#include "core/platform/elevation_api.h"
#include "core/platform/session_copy_api.h"

namespace zc {

inline constexpr char16_t kTreatNowArgument[] = u"/treat-now";

enum class StartKind {
  Normal,    // monitoring on, treatment on the user's click
  TreatNow,  // elevated by a copy that asked to treat: monitoring off, checks once, treat
};

StartKind StartKindOf(const std::vector<Text>& arguments, ElevationApi& elevation);

// Claims the session's name. True when this copy goes on starting; false when a copy of
// this user already runs in the session (it was called forward and this copy ends). A
// name that cannot be made does not stop the program: it starts without the guard.
bool GoesOnInSession(SessionCopyApi& session, StartKind kind);

}  // namespace zc
