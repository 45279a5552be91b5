#pragma once
// Every event the program writes to the Windows event log, by its full id. The texts are
// the message table in win32/app/zc_events.mc (Korean and English), built into the program;
// each message shows the one text the program inserts (%1). Event Viewer lists them
// under the source "ZombieCure" with the low 16 bits as the event id.

#include <array>
#include <cstdint>

#include "core/platform/event_log_api.h"

namespace zc::events {

// A new Finding in a run (once per finding, not per check tick): kind, name, id, path.
inline constexpr uint32_t kFindingReported = MakeEventId(EventSeverity::Warning, 1000);
// A treatment that did every step; one that failed a step (the step and its error).
inline constexpr uint32_t kTreatmentDone = MakeEventId(EventSeverity::Informational, 1100);
inline constexpr uint32_t kTreatmentIncomplete = MakeEventId(EventSeverity::Error, 1101);
// A restore of a backup folder: done, or what could not be restored.
inline constexpr uint32_t kRestoreDone = MakeEventId(EventSeverity::Informational, 1200);
inline constexpr uint32_t kRestoreIncomplete = MakeEventId(EventSeverity::Error, 1201);
// A definitions set that was refused (unsigned, badly signed, expired, older) or could
// not be downloaded.
inline constexpr uint32_t kDefinitionsRefused = MakeEventId(EventSeverity::Error, 1300);
// An earlier installer's per-user copy of the program was removed; or it could not be
// removed completely, or was left alone (a junction or link on its way).
inline constexpr uint32_t kUserCopyRemoved = MakeEventId(EventSeverity::Informational, 1400);
inline constexpr uint32_t kUserCopyLeft = MakeEventId(EventSeverity::Warning, 1401);
// The backup store's root made or checked at install time (`/prepare-store`), or not.
inline constexpr uint32_t kStorePrepared = MakeEventId(EventSeverity::Informational, 1500);
inline constexpr uint32_t kStoreNotPrepared = MakeEventId(EventSeverity::Error, 1501);
// The program's own error log line of an elevated copy (or of one whose own log folder
// could not be made): a homepage address left alone, a text constant not deciphered.
inline constexpr uint32_t kProgramError = MakeEventId(EventSeverity::Error, 1600);
// The candy button's message interception refused an operation.
inline constexpr uint32_t kCandyButtonError = MakeEventId(EventSeverity::Error, 1900);

inline constexpr std::array kAllEvents = {kFindingReported,   kTreatmentDone,     kTreatmentIncomplete,
                                          kRestoreDone,       kRestoreIncomplete, kDefinitionsRefused,
                                          kUserCopyRemoved,   kUserCopyLeft,      kStorePrepared,
                                          kStoreNotPrepared,  kProgramError,      kCandyButtonError};

}  // namespace zc::events
