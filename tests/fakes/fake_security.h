#pragma once
// Owners and rights over the in-memory restore files, with the system's rules for who
// may change them. What this fake makes, and what is added without facts of its own, is
// as the program makes it: owner Administrators, SYSTEM and Administrators full, Users
// read. Facts can be set per path (a folder a user made, a junction, a record another
// account may write), and the making of folders and files can be made to fail.
//
// Taking over is an access check as the system makes it for the elevated program,
// whose token holds its own account, Administrators and Users: the owner may always
// read and change the DACL; entries are read in order, inherit-only ones skipped, the
// first to decide a right (allow or deny) decides it; no DACL allows everything. With
// the take-ownership and restore privileges enabled (and the item opened for backup)
// the owner, the DACL and deletion are granted whatever the entries say; without them
// (`privilegesHeld` false, as when the token lacks them) a folder that shuts
// administrators out cannot be taken over.

#include <map>
#include <optional>
#include <set>
#include <string>

#include "core/platform/security_api.h"
#include "tests/fakes/fake_restore_files.h"

namespace zc::fakes {

inline AccessEntry Allow(Principal who, uint32_t rights, bool inheritOnly = false) {
  return {who, true, rights, inheritOnly};
}
inline AccessEntry Deny(Principal who, uint32_t rights) { return {who, false, rights, false}; }

inline SecurityFacts AdministratorsOnly(bool folder) {
  SecurityFacts facts;
  facts.owner = Principal::Administrators;
  facts.entries = {Allow(Principal::System, access::kFullControl), Allow(Principal::Administrators, access::kFullControl),
                   Allow(Principal::Users, access::kReadAndExecute)};
  facts.daclProtected = true;
  facts.folder = folder;
  return facts;
}

// The secret key file: not even Users may read it.
inline SecurityFacts SecretFile() {
  SecurityFacts facts = AdministratorsOnly(false);
  facts.entries.pop_back();
  return facts;
}

// As a folder made by a user under the drive root: owned by him, Users may change it.
inline SecurityFacts MadeByUser(bool folder) {
  SecurityFacts facts = AdministratorsOnly(folder);
  facts.owner = Principal::Other;
  facts.daclProtected = false;
  facts.entries.push_back(Allow(Principal::Users, access::kFullControl));
  return facts;
}

// As the administrator's own unelevated programs make it: owned by that account, which
// has full control, as have SYSTEM and Administrators.
inline SecurityFacts MadeByOwnAccount(bool folder) {
  SecurityFacts facts = AdministratorsOnly(folder);
  facts.owner = Principal::Self;
  facts.daclProtected = false;
  facts.entries.push_back(Allow(Principal::Self, access::kFullControl));
  return facts;
}

// A standard user's own store item, as CreatePrivateFolder/File make it: owned by the
// running account; SYSTEM, Administrators and that account full control, nobody else.
inline SecurityFacts PrivateToOwnAccount(bool folder) {
  SecurityFacts facts = AdministratorsOnly(folder);
  facts.owner = Principal::Self;
  facts.entries.back() = Allow(Principal::Self, access::kFullControl);  // instead of Users' reading
  return facts;
}

// Made by a user who then shut administrators out: owned by him, administrators denied
// everything first, his own account full control.
inline SecurityFacts LockedByUser(bool folder) {
  SecurityFacts facts;
  facts.owner = Principal::Other;
  facts.entries = {Deny(Principal::Administrators, access::kFullControl), Allow(Principal::Other, access::kFullControl)};
  facts.folder = folder;
  return facts;
}

class FakeSecurity : public SecurityApi {
 public:
  explicit FakeSecurity(FakeRestoreFiles& files) : files_(files) {}

  void Set(TextView path, SecurityFacts facts) { facts_[FoldCase(path)] = facts; }
  std::set<Text> failingPaths;  // making or protecting these fails
  bool privilegesHeld = true;   // the token has the take-ownership and restore privileges
  int keysMade = 0;
  int takenOver = 0;            // folders and files given new owner and rights

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
  bool ProtectFolder(TextView path) override { return TakeOver(path, true); }
  bool ProtectFile(TextView path) override { return TakeOver(path, false); }
  bool CreateSecretFile(TextView path, std::string_view bytes) override {
    if (failingPaths.count(Text(path))) return false;
    if (const std::optional<SecurityFacts> there = Facts(path)) {
      // Removed as itself: a reparse point goes, a file or an empty folder only where
      // deleting is granted, a folder with anything inside never.
      const auto* entry = files_.Find(path);
      if (!there->reparsePoint) {
        if (!Granted(*there, access::kDelete)) return false;
        if (entry && entry->isFolder && !files_.IsEmptyFolder(path)) return false;
      }
      files_.entries.erase(FoldCase(path));
    }
    files_.AddFile(path, std::string(bytes));
    facts_[FoldCase(path)] = SecretFile();
    ++keysMade;
    return true;
  }
  bool CreatePrivateFolder(TextView path) override {
    if (failingPaths.count(Text(path)) || files_.Find(path)) return false;
    files_.AddFolder(path);
    facts_[FoldCase(path)] = PrivateToOwnAccount(true);
    return true;
  }
  bool CreatePrivateFile(TextView path, std::string_view bytes) override {
    if (failingPaths.count(Text(path)) || files_.Find(path) || facts_.count(FoldCase(path))) return false;
    files_.AddFile(path, std::string(bytes));
    facts_[FoldCase(path)] = PrivateToOwnAccount(false);
    ++keysMade;
    return true;
  }
  std::string RandomBytes(size_t count) override {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(++counter_ * 37);
    return bytes;
  }

 private:
  // The elevated program's token: its own account, Administrators and Users.
  static bool InToken(Principal who) {
    return who == Principal::Self || who == Principal::Administrators || who == Principal::Users;
  }
  static uint32_t Mapped(uint32_t rights) {
    if (rights & access::kGenericAll) rights |= access::kFullControl;
    if (rights & access::kGenericWrite) rights |= 0x00120116;  // FILE_GENERIC_WRITE
    if (rights & access::kGenericRead) rights |= 0x00120089;   // FILE_GENERIC_READ
    if (rights & access::kGenericExecute) rights |= 0x001200A0;
    return rights;
  }
  bool Granted(const SecurityFacts& facts, uint32_t desired) const {
    uint32_t granted = 0;
    if (privilegesHeld) {
      granted |= access::kWriteOwner | access::kWriteDac | access::kDelete | access::kReadControl | 0x00120116;
    }
    if (InToken(facts.owner)) granted |= access::kReadControl | access::kWriteDac;
    if (facts.noDacl) return true;
    uint32_t denied = 0;
    for (const AccessEntry& entry : facts.entries) {
      if (entry.inheritOnly || !InToken(entry.who)) continue;
      const uint32_t undecided = desired & ~granted & ~denied;
      (entry.allows ? granted : denied) |= Mapped(entry.rights) & undecided;
    }
    return (desired & ~granted) == 0;
  }
  bool TakeOver(TextView path, bool folder) {
    const auto* entry = files_.Find(path);
    const std::optional<SecurityFacts> facts = Facts(path);
    if (failingPaths.count(Text(path)) || !entry || !facts || entry->isFolder != folder) return false;
    if (facts->reparsePoint || (!folder && facts->links != 1)) return false;
    if (!Granted(*facts, access::kReadControl | access::kWriteDac | access::kWriteOwner)) return false;
    // What is inside keeps rights of its own: only what inherits gets the new ones.
    facts_[FoldCase(path)] = AdministratorsOnly(folder);
    ++takenOver;
    return true;
  }

  FakeRestoreFiles& files_;
  std::map<Text, SecurityFacts> facts_;  // by folded path
  int counter_ = 0;
};

}  // namespace zc::fakes
