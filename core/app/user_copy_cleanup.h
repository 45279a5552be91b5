#pragma once
// The upgrade from a per-user install, finished by the program itself. An earlier
// installer put the program in the user's own "%LOCALAPPDATA%\Programs\ZombieCure", with
// a Start-menu shortcut, an installed-programs entry under HKEY_CURRENT_USER and often a
// log-on value naming it. The machine-wide installer removes that copy for the account
// that runs it; when an administrator installed with another account's password, the
// user's copy is still there, and the installed program removes it at its first start
// with the user's own, unelevated token:
//
//   - nothing when the program runs elevated (the folders are the token's account's, not
//     necessarily the person's at the keyboard), runs from that folder itself, or the
//     folder holds none of the old copy's files;
//   - nothing but a warning when "Programs" or the copy's folder is a junction or link;
//   - otherwise the old program, its log and uninstaller are deleted (and the folder when
//     that empties it), the log-on value when it names the old program, the user's
//     Start-menu shortcut, and the entry when it names that folder.
//
// What was done goes to the program's own error log (this copy is unelevated: the user's
// "%LOCALAPPDATA%\ZombieCure\") and, as one event, to the event log.

#include "core/app/own_error_log.h"
#include "core/platform/elevation_api.h"
#include "core/platform/event_log_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/user_install_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

struct UserCopyParts {
  const ConstantTexts& texts;
  UserInstallApi& install;
  RegistryApi& registry;
  ElevationApi& elevation;
  OwnErrorLog& log;
  EventLogApi& events;
};

enum class UserCopyOutcome {
  NotThere,    // nothing to do (or not this start's to do)
  Removed,     // everything of the old copy is gone
  Incomplete,  // some of it is left (listed in the log and the event)
  Linked,      // left alone: a junction or link on its way
};

UserCopyOutcome RemoveOldUserCopy(const UserCopyParts& parts);

}  // namespace zc
