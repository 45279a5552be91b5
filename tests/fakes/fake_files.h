#pragma once
// In-memory file system with the platform's rules: names compare ignoring letter case;
// a folder can be created only inside an existing folder and not over anything that
// exists; a read-only file cannot be deleted (its attributes must be reset first); a
// file can be copied only into an existing folder; folders keep the read-only bit here
// (as on Windows). Drive roots ("C:") always exist. Paths can be made to fail (access
// denied). A file can be a running program's image (not deleted, but moved on its
// volume), held open without delete sharing (neither: a sharing violation), or held
// open with delete sharing (its delete is reported as done, yet it stays).

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/platform/file_api.h"

namespace zc::fakes {

class FakeFiles : public FileApi {
 public:
  struct Entry {
    bool isFolder = false;
    uint32_t attributes = 0;
    std::string content;
  };

  // --- set-up and inspection --------------------------------------------------------
  void AddFile(TextView path, std::string content = "MZ", uint32_t attributes = 0) {
    entries[Key(path)] = {false, attributes, std::move(content)};
  }
  void AddFolder(TextView path, uint32_t attributes = kAttributeDirectory) {
    entries[Key(path)] = {true, attributes | kAttributeDirectory, {}};
  }
  const Entry* Find(TextView path) const {
    auto it = entries.find(Key(path));
    return it == entries.end() ? nullptr : &it->second;
  }
  bool IsFile(TextView path) const { const Entry* e = Find(path); return e && !e->isFolder; }
  bool IsFolder(TextView path) const { const Entry* e = Find(path); return e && e->isFolder; }

  // Any operation naming one of these paths fails.
  std::set<Text> failingPaths;
  // Files that cannot be deleted, as a running program's image cannot (access denied);
  // they can be moved.
  std::set<Text> inUse;
  // Files another process holds open without delete sharing: neither deleted nor moved.
  std::set<Text> lockedOpen;
  // Files whose delete is reported as done while they stay, as a file another handle
  // holds with delete sharing stays until that handle closes.
  std::set<Text> deletePending;
  // Paths marked for deletion at the next restart; the marking can be made to fail.
  std::vector<Text> removedAtRestart;
  bool failRestartMarks = false;
  // Folders that cannot be made at these paths (access denied), whatever else works there.
  std::set<Text> folderRefusals;
  // Files whose move is reported as done while they stay where they were.
  std::set<Text> movesThatStay;
  // Copies write only the first `copyTruncateTo` bytes (a short copy), when set.
  std::optional<size_t> copyTruncateTo;

  std::map<Text, Entry> entries;  // by folded path
  std::vector<std::pair<std::string, Text>> operations;  // ("copy", "dst"), ("delete", path)...

  // --- FileApi -----------------------------------------------------------------------
  bool CopyFileTo(TextView source, TextView destination) override {
    operations.emplace_back("copy", Text(destination));
    if (Fails(source) || Fails(destination)) return false;
    const Entry* src = Find(source);
    if (!src || src->isFolder || !ParentExists(destination)) return false;
    const Entry* dst = Find(destination);
    if (dst && (dst->isFolder || (dst->attributes & kAttributeReadOnly))) return false;
    if (lockedOpen.count(Text(destination)) != 0) return false;
    Entry copy{false, src->attributes & ~uint32_t{kAttributeReadOnly}, src->content};
    if (copyTruncateTo && copy.content.size() > *copyTruncateTo) copy.content.resize(*copyTruncateTo);
    entries[Key(destination)] = copy;
    return true;
  }
  SystemError RemoveFile(TextView path) override {
    operations.emplace_back("delete", Text(path));
    if (Fails(path)) return SystemError::AccessDenied;
    auto it = entries.find(Key(path));
    if (it == entries.end()) return ParentExists(path) ? SystemError::FileNotFound : SystemError::PathNotFound;
    if (it->second.isFolder) return SystemError::AccessDenied;
    if (it->second.attributes & kAttributeReadOnly) return SystemError::AccessDenied;
    if (lockedOpen.count(Text(path)) != 0) return SystemError::SharingViolation;
    if (inUse.count(Text(path)) != 0) return SystemError::AccessDenied;
    if (deletePending.count(Text(path)) != 0) return SystemError::None;
    entries.erase(it);
    return SystemError::None;
  }
  SystemError SetAttributes(TextView path, uint32_t attributes) override {
    operations.emplace_back("attributes", Text(path));
    if (Fails(path)) return SystemError::AccessDenied;
    auto it = entries.find(Key(path));
    if (it == entries.end()) return SystemError::FileNotFound;
    if (attributes == kAttributeNormal) attributes = 0;  // no bit left
    it->second.attributes = attributes | (it->second.isFolder ? uint32_t{kAttributeDirectory} : 0u);
    return SystemError::None;
  }
  SystemError CreateFolder(TextView path) override {
    operations.emplace_back("mkdir", Text(path));
    if (Fails(path) || folderRefusals.count(Text(path)) != 0) return SystemError::AccessDenied;
    if (Find(path)) return SystemError::AlreadyExists;
    if (!ParentExists(path)) return SystemError::PathNotFound;
    entries[Key(path)] = {true, kAttributeDirectory, {}};
    return SystemError::None;
  }
  SystemError MoveFileTo(TextView source, TextView destination) override {
    operations.emplace_back("move", Text(destination));
    if (Fails(source) || Fails(destination)) return SystemError::AccessDenied;
    auto it = entries.find(Key(source));
    if (it == entries.end()) return SystemError::FileNotFound;
    if (Find(destination)) return SystemError::AlreadyExists;
    if (!ParentExists(destination)) return SystemError::PathNotFound;
    if (lockedOpen.count(Text(source)) != 0) return SystemError::SharingViolation;
    if (deletePending.count(Text(source)) != 0) return SystemError::AccessDenied;  // no new handle to it
    if (movesThatStay.count(Text(source)) != 0) return SystemError::None;
    Entry moved = it->second;
    entries.erase(it);
    entries[Key(destination)] = moved;
    return SystemError::None;
  }
  SystemError RemoveAtRestart(TextView path) override {
    operations.emplace_back("delete at restart", Text(path));
    if (failRestartMarks) return SystemError::AccessDenied;
    removedAtRestart.emplace_back(path);
    return SystemError::None;
  }
  bool PathIsFree(TextView path) override { return !Fails(path) && !Find(path); }
  std::optional<int64_t> FileLength(TextView path) override {
    if (Fails(path)) return std::nullopt;
    const Entry* e = Find(path);
    if (!e || e->isFolder) return std::nullopt;
    return static_cast<int64_t>(e->content.size());
  }
  bool IsFolder(TextView path) override {
    if (Fails(path)) return false;
    if (IsDriveRoot(path)) return true;
    const Entry* e = Find(path);
    return e && e->isFolder;
  }
  bool ExistsAsNormalFile(TextView path) override {
    const Entry* e = Find(path);
    return e && !e->isFolder && !(e->attributes & (kAttributeHidden | kAttributeSystem));
  }

  static Text Parent(TextView path) {
    const size_t cut = path.find_last_of(u'\\');
    return cut == TextView::npos ? Text() : Text(path.substr(0, cut));
  }

 private:
  static Text Key(TextView path) {
    Text k = FoldCase(path);
    while (k.size() > 3 && k.back() == u'\\') k.pop_back();
    return k;
  }
  // "C:", "C:\" (any letter), as the platform reads them.
  static bool IsDriveRoot(TextView path) {
    if (path.size() < 2 || path.size() > 3 || path[1] != u':') return false;
    const char16_t letter = static_cast<char16_t>(path[0] | 0x20);
    return letter >= u'a' && letter <= u'z' && (path.size() == 2 || path[2] == u'\\' || path[2] == u'/');
  }
  bool Fails(TextView path) const { return failingPaths.count(Text(path)) != 0; }
  bool ParentExists(TextView path) const {
    const Text parent = Parent(path);
    if (parent.size() == 2 && parent[1] == u':') return true;  // a drive root
    return IsFolder(parent);
  }
};

}  // namespace zc::fakes
