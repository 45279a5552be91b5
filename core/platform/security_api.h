#pragma once
// Who owns a file or folder and who may change it, as the system keeps it (the owner and
// the DACL's entries with their access masks), and the making of folders and files that
// only administrators can change. Paths are full paths; a reparse point (junction,
// symbolic link) at the path itself is described, never followed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/platform/access_rights.h"

namespace zc {

enum class Principal {
  System,            // the LocalSystem account
  Administrators,    // the built-in Administrators group
  TrustedInstaller,  // the service that installs the system's own files
  Self,              // the account this program runs as: an administrator's own account also
                     // runs every unelevated program of that person, so it is never enough
  Users,             // the built-in Users group, Authenticated Users, Everyone, ...
  Other,             // any other account or group
};

struct AccessEntry {
  Principal who = Principal::Other;
  bool allows = true;        // false: the entry denies
  uint32_t rights = 0;       // the access mask (access_rights.h), generic bits as stored
  bool inheritOnly = false;  // only handed down to what is made inside; not the item's own
};

struct SecurityFacts {
  Principal owner = Principal::Other;
  std::vector<AccessEntry> entries;  // the DACL, in order
  bool daclProtected = false;        // entries from the folder above are not inherited
  bool noDacl = false;               // a missing DACL lets everyone do everything
  bool reparsePoint = false;
  bool folder = false;
  uint32_t links = 1;  // hard links of a file
};

class SecurityApi {
 public:
  virtual ~SecurityApi() = default;

  // The facts of what is at `path`; nothing when it does not exist or cannot be read.
  virtual std::optional<SecurityFacts> Facts(TextView path) = 0;

  // Creates a folder owned by Administrators with a protected DACL: SYSTEM and
  // Administrators full control, Users read and list. Fails when it exists.
  virtual bool CreateProtectedFolder(TextView path) = 0;

  // Takes over an existing folder: sets owner Administrators and the protected DACL of
  // CreateProtectedFolder (what is inside gets the inherited entries again). It is opened
  // as itself (never through a reparse point) with the take-ownership and restore
  // privileges enabled, so a folder whose rights shut administrators out is taken over
  // too. Fails on a reparse point, a file, or when the privileges cannot be enabled.
  virtual bool ProtectFolder(TextView path) = 0;

  // Takes over an existing file the same way: owner Administrators, and only SYSTEM and
  // Administrators may change it (Users may read it). Fails on a reparse point, a folder
  // and a file with more than one link (the other name may be anywhere).
  virtual bool ProtectFile(TextView path) = 0;

  // Creates a new file owned by Administrators that only SYSTEM and Administrators can
  // read or change, holding `bytes`. Whatever was at the name is removed first, opened
  // as itself: a file or an empty folder goes, a reparse point goes without touching
  // what it points at; anything else (a folder with something inside) makes it fail.
  virtual bool CreateSecretFile(TextView path, std::string_view bytes) = 0;

  // For a standard user's own store: creates a folder owned by the running account with a
  // protected DACL: SYSTEM, Administrators and the running account full control, nobody
  // else anything. Fails when it exists.
  virtual bool CreatePrivateFolder(TextView path) = 0;

  // The same for a new file holding `bytes`, owned by the running account and reachable
  // only by it, SYSTEM and Administrators. Fails when anything is at the name.
  virtual bool CreatePrivateFile(TextView path, std::string_view bytes) = 0;

  // Bytes from the platform's cryptographic random source; empty on failure.
  virtual std::string RandomBytes(size_t count) = 0;
};

}  // namespace zc
