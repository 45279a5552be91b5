#include "core/restore/backup_store.h"

#include <algorithm>

#include "core/restore/record_seal.h"
#include "core/restore/treatment_recorder.h"

namespace zc {
namespace {

constexpr size_t kKeyBytes = 32;

// Who may own the store: an elevated administrator's new files are owned by
// Administrators, the system's by SYSTEM. The account the program runs as is not among
// them: unelevated, the same person's every program runs as that account.
// A standard user's own store is that account's too.
bool MayOwn(Principal who, StoreKeeper keeper) {
  return who == Principal::System || who == Principal::Administrators ||
         (keeper == StoreKeeper::OwnAccount && who == Principal::Self);
}

// Who may hold rights that change the store.
bool MayChange(Principal who, StoreKeeper keeper) { return MayOwn(who, keeper) || who == Principal::TrustedInstaller; }

Text WithoutTrailingSeparators(TextView path) {
  Text plain(path);
  while (plain.size() > 3 && plain.back() == u'\\') plain.pop_back();
  return plain;
}

}  // namespace

bool OnlyAdministratorsCanChange(const SecurityFacts& facts) {
  return OnlyKeepersCanChange(facts, StoreKeeper::Administrators);
}

bool OnlyKeepersCanChange(const SecurityFacts& facts, StoreKeeper keeper) {
  if (facts.reparsePoint || facts.noDacl || !MayOwn(facts.owner, keeper)) return false;
  if (!facts.folder && facts.links != 1) return false;
  const uint32_t changing = facts.folder ? access::kChangesAFolder : access::kChangesAFile;
  // Deny entries are not weighed against allowing ones: whoever an entry allows to
  // change the item counts, whatever else the list says.
  return std::none_of(facts.entries.begin(), facts.entries.end(), [&](const AccessEntry& entry) {
    return entry.allows && !entry.inheritOnly && !MayChange(entry.who, keeper) && (entry.rights & changing) != 0;
  });
}

BackupStore::BackupStore(const StoreParts& parts)
    : p_(parts),
      root_(WithoutTrailingSeparators(parts.location.root.empty() && parts.location.keeper == StoreKeeper::Administrators
                                          ? parts.texts.Get(enc::BackupRoot)
                                          : parts.location.root)) {}

bool BackupStore::Own() const { return p_.location.keeper == StoreKeeper::OwnAccount; }

bool BackupStore::Sound(TextView path, bool folder) {
  const std::optional<SecurityFacts> facts = p_.security.Facts(path);
  return facts && facts->folder == folder && OnlyKeepersCanChange(*facts, p_.location.keeper);
}

bool BackupStore::Refuse(TextView why, TextView path) {
  problem_ = p_.texts.Get(why) + Text(path) + p_.texts.Get(enc::LogLineEnd);
  return false;
}

bool BackupStore::PrepareRoot() {
  key_.clear();
  problem_.clear();
  bool fresh = false;  // whatever is inside a folder taken over was written while anyone could
  if (root_.empty()) return Refuse(enc::StoreNotMade, root_);
  if (Own() && !MakeOwnParent()) return false;
  if (!MakeOrTakeOver(root_, fresh)) return false;
  if (!Sound(root_, true)) return Refuse(enc::StoreNotTakenOver, root_);
  return LoadOrMakeKey(fresh);
}

bool BackupStore::MakeOrTakeOver(const Text& path, bool& fresh) {
  fresh = false;
  const std::optional<SecurityFacts> facts = p_.security.Facts(path);
  if (!facts) {
    fresh = Own() ? p_.security.CreatePrivateFolder(path) : p_.security.CreateProtectedFolder(path);
    return fresh || Refuse(enc::StoreNotMade, path);
  }
  // Setting rights on a reparse point would set them on whatever it points at.
  if (facts->reparsePoint) return Refuse(enc::StoreRedirected, path);
  if (!facts->folder) return Refuse(enc::StoreNotTakenOver, path);
  if (OnlyKeepersCanChange(*facts, p_.location.keeper)) return true;
  // A user's own store is never taken over: without administrator rights there is
  // nothing to take it over with.
  if (Own()) return Refuse(enc::StoreNotTakenOver, path);
  fresh = p_.security.ProtectFolder(path);
  return fresh || Refuse(enc::StoreNotTakenOver, path);
}

bool BackupStore::OursOrTakenOver(const Text& path) {
  const std::optional<SecurityFacts> facts = p_.security.Facts(path);
  if (!facts) return true;  // made later inside our folder, with its rights
  if (facts->reparsePoint || facts->folder) return Refuse(enc::StoreItemNotOurs, path);
  if (OnlyKeepersCanChange(*facts, p_.location.keeper)) return true;
  if (Own()) return Refuse(enc::StoreItemNotOurs, path);
  // A second link may be anywhere: taking the file over would not take that name over.
  if (facts->links == 1 && p_.security.ProtectFile(path) && Sound(path, false)) return true;
  return Refuse(enc::StoreItemNotOurs, path);
}

bool BackupStore::LoadOrMakeKey(bool fresh) {
  const Text keyPath = root_ + u"\\" + p_.texts.Get(enc::SealKeyFileName);
  if (!fresh && Sound(keyPath, false)) {
    const std::optional<std::string> key = p_.files.ReadFileStart(keyPath, kKeyBytes + 1);
    if (key && key->size() == kKeyBytes) {
      key_ = *key;
      return true;
    }
  }
  const std::string key = p_.security.RandomBytes(kKeyBytes);
  const bool made = key.size() == kKeyBytes &&
                    (Own() ? p_.security.CreatePrivateFile(keyPath, key) : p_.security.CreateSecretFile(keyPath, key));
  if (!made || !Sound(keyPath, false)) {
    return Refuse(enc::StoreKeyNotMade, keyPath);
  }
  key_ = key;
  return true;
}

bool BackupStore::MakeOwnParent() {
  const Text parent = OwnStoreParent(p_.location);
  if (parent.empty()) return Refuse(enc::StoreNotMade, root_);
  const std::optional<SecurityFacts> facts = p_.security.Facts(parent);
  if (!facts) return p_.security.CreatePrivateFolder(parent) || Refuse(enc::StoreNotMade, parent);
  if (facts->reparsePoint) return Refuse(enc::StoreRedirected, parent);
  return facts->folder || Refuse(enc::StoreNotMade, parent);
}

bool BackupStore::PrepareFolder(TextView folder) {
  if (!PrepareRoot()) return false;
  if (!NameUnderRoot(folder)) return Refuse(enc::StoreNotTakenOver, folder);
  const Text path = WithoutTrailingSeparators(folder);
  bool fresh = false;
  if (!MakeOrTakeOver(path, fresh)) return false;
  if (!Sound(path, true)) return Refuse(enc::StoreNotTakenOver, path);
  // The files the program appends to, elevated: a user's file (or a link to another
  // file) at their names would take what is written, or let the user change it.
  return OursOrTakenOver(TreatmentRecorder::RecordPath(p_.texts, path)) &&
         OursOrTakenOver(path + u"\\" + p_.texts.Get(enc::LogFileName));
}

std::optional<Text> BackupStore::NameUnderRoot(TextView folder) const { return NameDirectlyUnder(root_, folder); }

std::optional<Text> NameDirectlyUnder(TextView root, TextView folder) {
  const Text path = WithoutTrailingSeparators(folder);
  if (root.empty() || path.size() <= root.size() + 1 || path[root.size()] != u'\\') return std::nullopt;
  if (FoldCase(TextView(path).substr(0, root.size())) != FoldCase(root)) return std::nullopt;
  const Text name = path.substr(root.size() + 1);
  if (name == u"." || name == u".." || name.find_first_of(u"\\/:*?\"<>|") != Text::npos) return std::nullopt;
  if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20; })) return std::nullopt;
  return name;
}

bool BackupStore::Trusts(TextView folder, std::string_view content) {
  if (key_.empty()) return false;
  const std::optional<Text> name = NameUnderRoot(folder);
  if (!name) return false;
  const Text path = WithoutTrailingSeparators(folder);
  if (!Sound(root_, true) || !Sound(path, true)) return false;
  if (!Sound(TreatmentRecorder::RecordPath(p_.texts, path), false)) return false;
  return RecordIsSealed(key_, *name, content);
}

}  // namespace zc
