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

inline Text StandInDigest(std::string_view content) {
  static constexpr char kDigits[] = "0123456789abcdef";
  Text hex;
  for (uint64_t lane = 0; lane < 4; ++lane) {
    uint64_t h = 14695981039346656037ull ^ (lane * 0x9E3779B97F4A7C15ull);
    for (const char c : content) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    for (int shift = 60; shift >= 0; shift -= 4) hex.push_back(static_cast<char16_t>(kDigits[(h >> shift) & 0xF]));
  }
  return hex;
}

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
