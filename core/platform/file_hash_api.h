#pragma once
// The platform's own hashing of a file's content.

#include <cstdint>
#include <optional>

#include "core/base/text.h"

namespace zc {

struct FileDigest {
  Text sha256;  // 64 lower-case hexadecimal digits
  int64_t length = 0;
};

class FileHashApi {
 public:
  virtual ~FileHashApi() = default;

  // SHA-256 and length of the whole file; nothing when the file cannot be opened or
  // read to its end.
  virtual std::optional<FileDigest> Digest(TextView path) = 0;
};

}  // namespace zc
