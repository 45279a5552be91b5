#pragma once
// File digests over the in-memory restore files. The digest is a stand-in (FNV-1a in
// four differently seeded lanes, 64 hexadecimal digits): equal contents give equal
// digests and any change of a byte changes it, which is all the restore relies on.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "core/platform/file_hash_api.h"
#include "tests/fakes/fake_restore_files.h"

namespace zc::fakes {

class FakeFileHash : public FileHashApi {
 public:
  explicit FakeFileHash(FakeRestoreFiles& files) : files_(files) {}
  std::set<Text> unreadable;

  std::optional<FileDigest> Digest(TextView path) override {
    if (unreadable.count(Text(path))) return std::nullopt;
    const std::optional<std::string> content = files_.ReadWholeFile(path);
    if (!content) return std::nullopt;
    return FileDigest{StandInDigest(*content), static_cast<int64_t>(content->size())};
  }

 private:
  FakeRestoreFiles& files_;
};

}  // namespace zc::fakes
