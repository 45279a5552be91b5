#pragma once
// Whose registry hive a check reads. An administrator who elevates over a standard
// user's shoulder runs as themselves: their HKEY_CURRENT_USER is not the infected user's.
// So the program finds the person at the keyboard itself (the session's shell's token,
// never anything an unelevated copy says) and, running as LocalSystem, every user hive
// the system has loaded.

#include <optional>
#include <vector>

#include "core/base/text.h"

namespace zc {

struct UserHives {
  bool localSystem = false;            // the program runs as LocalSystem
  bool elevated = false;               // with an administrator's full token
  std::optional<Text> runningUser;     // the running token's user, as a SID text
  std::optional<Text> interactiveUser; // the session's shell's user; nothing without a shell
  std::vector<Text> loaded;            // the people's hives under HKEY_USERS (no _Classes)
  std::vector<Text> notLoaded;         // profiles whose hive is not loaded (their folders)
};

class UserHivesApi {
 public:
  virtual ~UserHivesApi() = default;
  virtual UserHives Read() = 0;
};

// The hive a check reads for a user's own autorun values. `sid` empty: the running
// account's HKEY_CURRENT_USER.
struct UserHiveChoice {
  std::vector<Text> sids;     // each read under HKEY_USERS; empty when `current` alone
  bool current = true;        // HKEY_CURRENT_USER is read
  std::vector<Text> notLoaded;
};

// The running account's HKEY_CURRENT_USER for an ordinary run and for an administrator
// who elevated at their own keyboard; the interactive user's hive for an administrator
// who elevated for someone else; every loaded hive for LocalSystem (its own HKCU is no
// person's) and, beside its own, for an administrator in a session without a shell.
UserHiveChoice ChooseUserHives(const UserHives& hives);

}  // namespace zc
