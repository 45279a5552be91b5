#pragma once
// Suspect-file openings over the in-memory file system of FakeFiles, with the platform's
// rules. Folders can be junctions (or mount points, folder links) that lead elsewhere;
// an opening refuses a path through one, a path on a substituted drive, a file that is a
// link itself or has a second name. An open suspect file holds every folder above it
// without delete sharing, so an ordinary account cannot rename such a folder away and
// plant a junction at its name (a sharing violation), as Windows refuses it; once the
// opening is closed it can. The steps act on the opened file whatever happens to paths
// meanwhile. FakeFiles' sets keep their meaning: failingPaths cannot be opened,
// lockedOpen files are held by another program without delete sharing (no opening),
// inUse files are running images (no delete, but a move on their volume), deletePending
// files are held by another program with delete sharing (a delete reported as done
// leaves them in place, unless the system deletes with POSIX semantics).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/base/text.h"
#include "core/platform/file_api.h"
#include "core/platform/pinned_file_api.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_restore_files.h"

namespace zc::fakes {

class FakeSuspectFiles : public SuspectFileApi {
 public:
  explicit FakeSuspectFiles(FakeFiles& files) : files_(files) {}

  // --- the machine --------------------------------------------------------------------
  // Folders (or a file's own name) that lead elsewhere: folded path -> where they lead.
  std::map<Text, Text> junctions;
  // Drives substituted for a folder: folded "s:" -> the folder it shows.
  std::map<Text, Text> substitutedDrives;
  // Files that have a second name somewhere else.
  std::set<Text> hardLinked;
  // Windows 10 1607 and later delete with POSIX semantics: the name goes at once even
  // while another program holds the file with delete sharing.
  bool posixDelete = true;

  // Every step taken through an opening: ("open", path), ("copy", to), ("attributes",
  // path), ("delete", path), ("move", to), ("placeholder", path).
  std::vector<std::pair<std::string, Text>> steps;

  // What an ordinary account does to steer a step: renames `folder` away (to
  // "<folder>.old") and makes a junction at its name that leads to `target`. Refused
  // with a sharing violation while an opening holds the folder.
  SystemError PlantJunction(TextView folder, TextView target) {
    const Text key = Key(folder);
    if (held_.count(key) != 0) return SystemError::SharingViolation;
    const Text moved = key + u".old";
    std::map<Text, FakeFiles::Entry> renamed;
    for (auto it = files_.entries.begin(); it != files_.entries.end();) {
      if (it->first == key || it->first.rfind(key + u"\\", 0) == 0) {
        renamed[moved + it->first.substr(key.size())] = it->second;
        it = files_.entries.erase(it);
      } else {
        ++it;
      }
    }
    files_.entries.insert(renamed.begin(), renamed.end());
    files_.entries[key] = {true, kAttributeDirectory, {}};
    junctions[key] = Key(target);
    return SystemError::None;
  }

  // How many openings hold `folder` now.
  size_t HoldsOn(TextView folder) const { return held_.count(Key(folder)); }

  // --- SuspectFileApi -------------------------------------------------------------------
  std::unique_ptr<SuspectFile> Open(TextView path, SystemError& error) override {
    steps.emplace_back("open", Text(path));
    error = Check(path);
    if (error != SystemError::None) return nullptr;
    const bool present = files_.Find(path) != nullptr;
    if (present) {
      const Text key = Key(path);
      if (files_.IsFolder(path)) return Refuse(error, SystemError::AccessDenied);
      if (deletePendingNow_.count(key) != 0) return Refuse(error, SystemError::AccessDenied);
      if (hardLinked.count(key) != 0) return Refuse(error, SystemError::Redirected);
      if (files_.lockedOpen.count(Text(path)) != 0) return Refuse(error, SystemError::SharingViolation);
    }
    return std::make_unique<Opening>(*this, Text(path), present);
  }

 private:
  class Opening : public SuspectFile {
   public:
    Opening(FakeSuspectFiles& owner, Text path, bool holdsFile)
        : owner_(owner), path_(std::move(path)), holdsFile_(holdsFile), folders_(Ancestors(path_)) {
      for (const Text& folder : folders_) owner_.held_.insert(folder);
    }
    ~Opening() override {
      for (const Text& folder : folders_) owner_.held_.erase(owner_.held_.find(folder));
    }

    bool HoldsFile() const override { return holdsFile_; }
    std::optional<int64_t> Length() override {
      if (!File()) return std::nullopt;
      return static_cast<int64_t>(File()->content.size());
    }
    std::optional<FileDigest> Hash() override {
      if (!File()) return std::nullopt;
      return FileDigest{StandInDigest(File()->content), static_cast<int64_t>(File()->content.size())};
    }
    SystemError CopyTo(TextView newFile) override {
      owner_.steps.emplace_back("copy", Text(newFile));
      if (!File()) return SystemError::FileNotFound;
      const SystemError free = owner_.CheckNewFile(newFile);
      if (free != SystemError::None) return free;
      owner_.files_.entries[Key(newFile)] = {false, 0, File()->content};
      return SystemError::None;
    }
    SystemError ClearAttributes() override {
      owner_.steps.emplace_back("attributes", path_);
      if (!File()) return SystemError::FileNotFound;
      File()->attributes = 0;
      return SystemError::None;
    }
    SystemError Delete() override {
      owner_.steps.emplace_back("delete", path_);
      if (!File()) return SystemError::FileNotFound;
      if (owner_.files_.inUse.count(path_) != 0) return SystemError::AccessDenied;  // a mapped image
      holdsFile_ = false;
      if (owner_.files_.deletePending.count(path_) != 0 && !owner_.posixDelete) {
        owner_.deletePendingNow_.insert(Key(path_));
        return SystemError::NotConfirmed;  // gone only when the other program closes it
      }
      owner_.files_.entries.erase(Key(path_));
      return SystemError::None;
    }
    SystemError MoveTo(TextView newFile) override {
      owner_.steps.emplace_back("move", Text(newFile));
      if (!File()) return SystemError::FileNotFound;
      const SystemError free = owner_.CheckNewFile(newFile);
      if (free != SystemError::None) return free;
      if (DriveOf(newFile) != DriveOf(path_)) {
        // Another volume: a copy, then a delete through the handle.
        owner_.files_.entries[Key(newFile)] = {false, 0, File()->content};
        const SystemError removed = Delete();
        if (removed != SystemError::None && removed != SystemError::NotConfirmed) {
          owner_.files_.entries.erase(Key(newFile));
        }
        return removed;
      }
      owner_.files_.entries[Key(newFile)] = *File();
      owner_.files_.entries.erase(Key(path_));
      holdsFile_ = false;
      return SystemError::None;
    }
    bool NameIsFree() override { return owner_.files_.Find(path_) == nullptr; }
    SystemError MakePlaceholderFolder(uint32_t attributes) override {
      owner_.steps.emplace_back("placeholder", path_);
      if (owner_.files_.Find(path_) != nullptr) return SystemError::AlreadyExists;
      owner_.files_.entries[Key(path_)] = {true, attributes | kAttributeDirectory, {}};
      return SystemError::None;
    }

   private:
    // The opened file while held; its folders are held, so it is still at its path
    // (unless another program deleted it meanwhile, which delete sharing allows).
    FakeFiles::Entry* File() {
      if (!holdsFile_) return nullptr;
      auto it = owner_.files_.entries.find(Key(path_));
      return it == owner_.files_.entries.end() || it->second.isFolder ? nullptr : &it->second;
    }

    FakeSuspectFiles& owner_;
    Text path_;
    bool holdsFile_;
    std::vector<Text> folders_;
  };

  static Text Key(TextView path) {
    Text key = FoldCase(path);
    while (key.size() > 3 && key.back() == u'\\') key.pop_back();
    return key;
  }
  static Text DriveOf(TextView path) { return FoldCase(path.substr(0, 2)); }
  // The folders above `path`, below its drive's root, from the top down.
  static std::vector<Text> Ancestors(TextView path) {
    std::vector<Text> folders;
    const Text key = Key(path);
    for (size_t cut = key.find(u'\\', 3); cut != Text::npos; cut = key.find(u'\\', cut + 1)) {
      folders.push_back(key.substr(0, cut));
    }
    return folders;
  }
  static std::unique_ptr<SuspectFile> Refuse(SystemError& error, SystemError why) {
    error = why;
    return nullptr;
  }

  // Whether `path` can be opened as itself: its drive is no substitute, no folder on the
  // way leads elsewhere and each exists; the name itself is no link.
  SystemError Check(TextView path) const {
    if (path.size() < 4 || path[1] != u':' || path[2] != u'\\') return SystemError::PathNotFound;
    if (substitutedDrives.count(DriveOf(path)) != 0) return SystemError::Redirected;
    for (const Text& folder : Ancestors(path)) {
      if (files_.failingPaths.count(folder) != 0) return SystemError::AccessDenied;
      if (junctions.count(folder) != 0) return SystemError::Redirected;
      if (!files_.IsFolder(folder)) return SystemError::PathNotFound;
    }
    if (files_.failingPaths.count(Text(path)) != 0) return SystemError::AccessDenied;
    if (junctions.count(Key(path)) != 0) return SystemError::Redirected;
    return SystemError::None;
  }
  // A new file's path in the store: its folders are themselves and nothing is there.
  SystemError CheckNewFile(TextView path) const {
    const SystemError way = Check(path);
    if (way != SystemError::None) return way;
    if (!files_.IsFolder(FakeFiles::Parent(path))) return SystemError::PathNotFound;
    if (files_.Find(path) != nullptr) return SystemError::AlreadyExists;
    return SystemError::None;
  }

  FakeFiles& files_;
  std::multiset<Text> held_;  // folded folders that openings hold
  std::set<Text> deletePendingNow_;
};

}  // namespace zc::fakes
