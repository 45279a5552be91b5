#include "core/platform/user_hives_api.h"

namespace zc {

UserHiveChoice ChooseUserHives(const UserHives& hives) {
  UserHiveChoice choice;
  if (hives.localSystem) {
    choice.current = false;
    choice.sids = hives.loaded;
    choice.notLoaded = hives.notLoaded;
    return choice;
  }
  if (!hives.elevated) return choice;  // no other hive opens to an ordinary token
  if (!hives.interactiveUser) {
    // No one at a keyboard of this session: every person's hive, this account's with them.
    for (const Text& sid : hives.loaded) {
      if (!hives.runningUser || sid != *hives.runningUser) choice.sids.push_back(sid);
    }
    choice.notLoaded = hives.notLoaded;
    return choice;
  }
  if (hives.runningUser && *hives.interactiveUser != *hives.runningUser) {
    // Elevated with another account's password: the person at the keyboard's hive.
    choice.current = false;
    choice.sids = {*hives.interactiveUser};
  }
  return choice;
}

}  // namespace zc
