#pragma once
// Owners and rights over the in-memory restore files. What this fake makes, and what
// is added without facts of its own, is as the program makes it: owner Administrators,
// SYSTEM and Administrators full, Users read. Facts can be set per path (a folder a
// user made, a junction, a record another account may write), and the making of
// folders and files can be made to fail.

#include <map>
#include <optional>
#include <set>
#include <string>

#include "core/platform/security_api.h"
#include "tests/fakes/fake_restore_files.h"

namespace zc::fakes {

inline SecurityFacts AdministratorsOnly(bool folder) {
  SecurityFacts facts;
  facts.owner = Principal::Administrators;
  facts.entries = {{Principal::System, true, true, true},
                   {Principal::Administrators, true, true, true},
                   {Principal::Users, true, false, false}};
  facts.daclProtected = true;
  facts.folder = folder;
  return facts;
}

// As a folder made by a user under the drive root: owned by him, Users may change it.
inline SecurityFacts MadeByUser(bool folder) {
  SecurityFacts facts = AdministratorsOnly(folder);
  facts.owner = Principal::Other;
  facts.daclProtected = false;
  facts.entries.push_back({Principal::Users, true, true, true});
  return facts;
}

class FakeSecurity : public SecurityApi {
 public:
  explicit FakeSecurity(FakeRestoreFiles& files) : files_(files) {}

  void Set(TextView path, SecurityFacts facts) { facts_[FoldCase(path)] = facts; }
  std::set<Text> failingPaths;  // making or protecting these fails
  int keysMade = 0;

  std::optional<SecurityFacts> Facts(TextView path) override {
    const auto* entry = files_.Find(path);
    const auto set = facts_.find(FoldCase(path));
    if (set != facts_.end()) return set->second;
    if (!entry) return std::nullopt;
    return AdministratorsOnly(entry->isFolder);
  }
  bool CreateProtectedFolder(TextView path) override {
    if (failingPaths.count(Text(path)) || files_.Find(path)) return false;
    files_.AddFolder(path);
    facts_.erase(FoldCase(path));
    return true;
  }
  bool ProtectFolder(TextView path) override {
    const auto* entry = files_.Find(path);
    if (failingPaths.count(Text(path)) || !entry || !entry->isFolder) return false;
    facts_.erase(FoldCase(path));
    return true;
  }
  bool CreateSecretFile(TextView path, std::string_view bytes) override {
    if (failingPaths.count(Text(path))) return false;
    files_.AddFile(path, std::string(bytes));
    facts_.erase(FoldCase(path));
    ++keysMade;
    return true;
  }
  std::string RandomBytes(size_t count) override {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(++counter_ * 37);
    return bytes;
  }

 private:
  FakeRestoreFiles& files_;
  std::map<Text, SecurityFacts> facts_;  // by folded path
  int counter_ = 0;
};

}  // namespace zc::fakes
