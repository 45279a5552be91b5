#pragma once
// File digests with the platform's cryptography (CNG): SHA-256 over the whole file,
// read in pieces.

#include "core/platform/file_hash_api.h"

#include <windows.h>

namespace zc::win {

// SHA-256 and length of what an open file holds from its current position to its end.
std::optional<FileDigest> DigestOfOpenFile(HANDLE file);

class Win32FileHash : public FileHashApi {
 public:
  std::optional<FileDigest> Digest(TextView path) override;
};

}  // namespace zc::win
