#pragma once
// Whether a file belongs to Windows or to a publisher Windows trusts. Such a file is
// never taken by a treatment on the strength of a pattern: the system protects it, or
// its Authenticode signature (embedded, or through the system's catalogs) chains to
// Microsoft's own root (decided by the root, never by the signer's name, which anyone
// with a root of their own can write), or it carries a valid signature of another
// publisher the machine trusts.

#include "core/base/text.h"

namespace zc {

enum class FileSigner {
  None,       // unsigned, or a signature that does not verify
  Microsoft,  // verifies and chains to Microsoft's root
  Other,      // verifies and chains to another root the machine trusts
};

struct FileTrust {
  bool protectedBySystem = false;  // a file the system's file protection keeps
  FileSigner signer = FileSigner::None;
  Text publisher;  // the signer's name as the certificate gives it, for FileSigner::Other

  bool IsWindows() const { return protectedBySystem || signer == FileSigner::Microsoft; }
};

class FileTrustApi {
 public:
  virtual ~FileTrustApi() = default;

  // `path` is a full path. A file that cannot be examined reads as unsigned and not
  // protected; the rules on the Windows folder keep Windows' own files then.
  virtual FileTrust Examine(TextView path) = 0;
};

}  // namespace zc
