#pragma once
// Whether a file is Windows' own or a trusted publisher's: the system's file protection
// (SfcIsFileProtected of sfc.dll, looked up at run time, asked with the full path), and
// the Authenticode signature, embedded or else through the system's catalogs. The file
// is opened once (sharing read, write and delete, so that nothing else is held up) and
// that handle serves every check.

#include "core/platform/file_trust_api.h"

namespace zc::win {

class Win32FileTrust : public FileTrustApi {
 public:
  // File protection is asked by path, also for a file that cannot be opened: the
  // system keeps a protected file's path whether or not it can be read now.
  FileTrust Examine(TextView path) override;
};

// SfcIsFileProtected's answer for a full path; false where the library or its export
// is missing.
bool ProtectedBySystem(TextView path);

}  // namespace zc::win
