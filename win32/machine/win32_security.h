#pragma once
// Owners and rights of files and folders through the security calls: the facts are read
// from a handle opened on the path itself (a junction or link is described, never
// followed), and folders and secret files are made with a security descriptor of
// well-known SIDs. Taking over and reading the rights use the take-ownership, restore
// and backup privileges (backup_privileges.h).

#include <windows.h>

#include "core/platform/security_api.h"

namespace zc::win {

// Who a SID is. The running account is Self, never more, unless
// `runningAccountStandsForAdministrators` (a test build: its test bed keeps no owners).
Principal ClassifySid(PSID sid, PSID runningAccount, bool runningAccountStandsForAdministrators);

class Win32Security : public SecurityApi {
 public:
  std::optional<SecurityFacts> Facts(TextView path) override;
  bool CreateProtectedFolder(TextView path) override;
  bool ProtectFolder(TextView path) override;
  bool ProtectFile(TextView path) override;
  bool CreateSecretFile(TextView path, std::string_view bytes) override;
  bool CreatePrivateFolder(TextView path) override;
  bool CreatePrivateFile(TextView path, std::string_view bytes) override;
  std::string RandomBytes(size_t count) override;
};

}  // namespace zc::win
