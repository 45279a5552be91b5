#pragma once
// What a treatment without administrator rights may take: a standard user treats what
// they own alone (the values of their own hive, their own processes, the files they may
// delete) with backups and records in their own store. A Finding whose plan needs
// anything more (a service, a value under HKLM or in another user's hive, a process of
// another account or of a higher integrity level, a file the user may not delete) is
// not touched at all: half a treatment would leave the bot a way back, and its row
// stays on the list for an administrator's treatment, saying what needs one.

#include <vector>

#include "core/base/text.h"
#include "core/engine/treatment_plan.h"
#include "core/platform/user_rights_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The plan's steps that need an administrator, each as the row and the log name it
// ("서비스 X", "HKLM\...\name", "프로세스 x.exe (PID n)", a file's path); empty when the
// running account `ownSid` may take every step itself. A right the system will not tell
// counts as needing an administrator; no rights to ask (`rights` null) likewise.
std::vector<Text> StepsNeedingAdministrator(const ConstantTexts& texts, const TreatmentPlan& plan,
                                            UserRightsApi* rights, TextView ownSid);

}  // namespace zc
