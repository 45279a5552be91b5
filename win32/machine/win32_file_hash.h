#pragma once
// File digests with the platform's cryptography (CNG): SHA-256 over the whole file,
// read in pieces.

#include "core/platform/file_hash_api.h"

namespace zc::win {

class Win32FileHash : public FileHashApi {
 public:
  std::optional<FileDigest> Digest(TextView path) override;
};

}  // namespace zc::win
