#pragma once
// Who owns a file or folder and who may change it, as simple facts, and the making of
// folders and files that only administrators can change. Paths are full paths; a
// reparse point (junction, symbolic link) at the path itself is described, never
// followed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/text.h"

namespace zc {

enum class Principal {
  System,          // the LocalSystem account
  Administrators,  // the built-in Administrators group
  Self,            // the account this program runs as
  Users,           // the built-in Users group, Authenticated Users, Everyone, ...
  Other,           // any other account or group
};

struct AccessEntry {
  Principal who = Principal::Other;
  bool allows = true;  // false: the entry denies
  bool write = false;  // write data, append, write attributes or extended attributes
  bool remove = false; // delete, delete a child, change permissions or owner
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

  // Sets owner Administrators and the protected DACL of CreateProtectedFolder on an
  // existing folder (what is inside gets the inherited entries again).
  virtual bool ProtectFolder(TextView path) = 0;

  // Creates a new file (never replacing one) owned by Administrators that only SYSTEM
  // and Administrators can read or change, holding `bytes`.
  virtual bool CreateSecretFile(TextView path, std::string_view bytes) = 0;

  // Bytes from the platform's cryptographic random source; empty on failure.
  virtual std::string RandomBytes(size_t count) = 0;
};

}  // namespace zc
