#pragma once
// In-memory files and folders for the treatment record and the restore, with the
// platform's rules: names compare ignoring letter case; a folder is removed only when
// empty; a copy without replacing fails when the destination exists or its folder does
// not; a read-only file keeps its content against appends. Paths can be made to fail,
// and appends can be cut short after a number of bytes (a crash while writing).

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/platform/file_hash_api.h"
#include "core/platform/restore_files_api.h"

namespace zc::fakes {

// A stand-in digest (FNV-1a in four differently seeded lanes, 64 hexadecimal digits):
// equal contents give equal digests and any change of a byte changes it.
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

class FakeRestoreFiles : public RestoreFilesApi {
 public:
  static constexpr uint32_t kFolderBit = 0x10;
  struct Entry {
    bool isFolder = false;
    uint32_t attributes = 0;
    std::string content;
  };

  void AddFile(TextView path, std::string content, uint32_t attributes = 0x20) {
    entries[Key(path)] = {false, attributes, std::move(content)};
  }
  void AddFolder(TextView path, uint32_t attributes = kFolderBit) {
    entries[Key(path)] = {true, attributes | kFolderBit, {}};
  }
  const Entry* Find(TextView path) const {
    auto it = entries.find(Key(path));
    return it == entries.end() ? nullptr : &it->second;
  }
  std::string Content(TextView path) const {
    const Entry* e = Find(path);
    return e && !e->isFolder ? e->content : std::string("<no file>");
  }

  std::set<Text> failingPaths;
  std::optional<size_t> cutAppendsAfter;  // the next append writes only this many bytes
  std::map<Text, Entry> entries;          // by folded path
  size_t largestRead = 0;                 // the most bytes any one read returned

  // --- RestoreFilesApi ---------------------------------------------------------------
  std::optional<std::string> ReadWholeFile(TextView path) override {
    const Entry* e = Find(path);
    if (Fails(path) || !e || e->isFolder) return std::nullopt;
    largestRead = std::max(largestRead, e->content.size());
    return e->content;
  }
  std::optional<std::string> ReadFileStart(TextView path, size_t maxBytes) override {
    const Entry* e = Find(path);
    if (Fails(path) || !e || e->isFolder) return std::nullopt;
    std::string start = e->content.substr(0, maxBytes);
    largestRead = std::max(largestRead, start.size());
    return start;
  }
  bool AppendWhole(TextView path, std::string_view bytes) override {
    if (Fails(path) || !ParentIsFolder(path)) return false;
    Entry& e = entries[Key(path)];
    if (e.isFolder || (e.attributes & 0x1)) return false;
    if (cutAppendsAfter) {
      e.content.append(bytes.substr(0, *cutAppendsAfter));
      cutAppendsAfter.reset();
      return false;
    }
    e.content.append(bytes);
    return true;
  }
  std::optional<uint32_t> Attributes(TextView path) override {
    const Entry* e = Find(path);
    if (!e) return std::nullopt;
    return e->attributes;
  }
  bool SetAttributes(TextView path, uint32_t attributes) override {
    auto it = entries.find(Key(path));
    if (Fails(path) || it == entries.end()) return false;
    it->second.attributes = attributes | (it->second.isFolder ? kFolderBit : 0u);
    return true;
  }
  bool IsEmptyFolder(TextView path) override {
    const Entry* e = Find(path);
    return e && e->isFolder && Children(path).empty();
  }
  bool RemoveEmptyFolder(TextView path) override {
    if (Fails(path) || !IsEmptyFolder(path)) return false;
    if (Find(path)->attributes & 0x1) return false;  // read-only folders refuse as well
    entries.erase(Key(path));
    return true;
  }
  bool CopyWithoutReplacing(TextView source, TextView destination) override {
    const Entry* src = Find(source);
    if (Fails(source) || Fails(destination) || !src || src->isFolder) return false;
    if (Find(destination) || !ParentIsFolder(destination)) return false;
    entries[Key(destination)] = {false, src->attributes, src->content};
    return true;
  }
  std::optional<int64_t> FileSize(TextView path) override {
    const Entry* e = Find(path);
    if (Fails(path) || !e || e->isFolder) return std::nullopt;
    return static_cast<int64_t>(e->content.size());
  }
  bool CopyUnchangedCopy(TextView source, TextView destination, const FileDigest& expected) override {
    const Entry* src = Find(source);
    if (!src || src->isFolder || StandInDigest(src->content) != expected.sha256 ||
        static_cast<int64_t>(src->content.size()) != expected.length) {
      return false;
    }
    return CopyWithoutReplacing(source, destination);
  }
  std::vector<Text> ListFolders(TextView folder) override {
    std::vector<Text> names;
    for (const Text& child : Children(folder)) {
      if (entries[child].isFolder) names.push_back(child.substr(child.find_last_of(u'\\') + 1));
    }
    return names;
  }

 private:
  static Text Key(TextView path) {
    Text k = FoldCase(path);
    while (k.size() > 3 && k.back() == u'\\') k.pop_back();
    return k;
  }
  bool Fails(TextView path) const { return failingPaths.count(Text(path)) != 0; }
  bool ParentIsFolder(TextView path) const {
    const size_t cut = path.find_last_of(u'\\');
    if (cut == TextView::npos) return false;
    if (cut == 2 && path[1] == u':') return true;  // a drive's root
    const Entry* parent = Find(path.substr(0, cut));
    return parent && parent->isFolder;
  }
  std::vector<Text> Children(TextView folder) const {
    const Text prefix = Key(folder) + u"\\";
    std::vector<Text> children;
    for (const auto& [key, entry] : entries) {
      if (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
          key.find(u'\\', prefix.size()) == Text::npos) {
        children.push_back(key);
      }
    }
    return children;
  }
};

}  // namespace zc::fakes
