#include "core/restore/backup_store.h"

#include <algorithm>

#include "core/restore/record_seal.h"
#include "core/restore/treatment_recorder.h"

namespace zc {
namespace {

constexpr size_t kKeyBytes = 32;

// Administrators, SYSTEM and the account the program runs as: where the platform gives a
// file made by an elevated program its user as owner, that account is no other account.
// What it may write without being elevated is still not ours: the seal's key is
// readable by administrators alone.
bool IsOurs(Principal who) {
  return who == Principal::System || who == Principal::Administrators || who == Principal::Self;
}

Text WithoutTrailingSeparators(TextView path) {
  Text plain(path);
  while (plain.size() > 3 && plain.back() == u'\\') plain.pop_back();
  return plain;
}

}  // namespace

bool OnlyAdministratorsCanChange(const SecurityFacts& facts) {
  if (facts.reparsePoint || facts.noDacl || !IsOurs(facts.owner)) return false;
  if (!facts.folder && facts.links != 1) return false;
  return std::none_of(facts.entries.begin(), facts.entries.end(), [](const AccessEntry& entry) {
    return entry.allows && !IsOurs(entry.who) && (entry.write || entry.remove);
  });
}

BackupStore::BackupStore(const StoreParts& parts)
    : p_(parts), root_(WithoutTrailingSeparators(parts.texts.Get(enc::BackupRoot))) {}

bool BackupStore::Sound(TextView path, bool folder) {
  const std::optional<SecurityFacts> facts = p_.security.Facts(path);
  return facts && facts->folder == folder && OnlyAdministratorsCanChange(*facts);
}

bool BackupStore::PrepareRoot() {
  key_.clear();
  bool fresh = false;  // whatever is inside a folder taken over was written while anyone could
  if (!MakeOrTakeOver(root_, fresh) || !Sound(root_, true)) return false;
  return LoadOrMakeKey(fresh);
}

bool BackupStore::MakeOrTakeOver(const Text& path, bool& fresh) {
  fresh = false;
  const std::optional<SecurityFacts> facts = p_.security.Facts(path);
  if (!facts) return fresh = p_.security.CreateProtectedFolder(path);
  // Setting rights on a reparse point would set them on whatever it points at.
  if (facts->reparsePoint || !facts->folder) return false;
  if (OnlyAdministratorsCanChange(*facts)) return true;
  return fresh = p_.security.ProtectFolder(path);
}

bool BackupStore::LoadOrMakeKey(bool fresh) {
  const Text keyPath = root_ + u"\\" + p_.texts.Get(enc::SealKeyFileName);
  if (!fresh && Sound(keyPath, false)) {
    const std::optional<std::string> key = p_.files.ReadWholeFile(keyPath);
    if (key && key->size() == kKeyBytes) {
      key_ = *key;
      return true;
    }
  }
  const std::string key = p_.security.RandomBytes(kKeyBytes);
  if (key.size() != kKeyBytes || !p_.security.CreateSecretFile(keyPath, key)) return false;
  if (!Sound(keyPath, false)) return false;
  key_ = key;
  return true;
}

bool BackupStore::PrepareFolder(TextView folder) {
  if (!PrepareRoot() || !NameUnderRoot(folder)) return false;
  const Text path = WithoutTrailingSeparators(folder);
  bool fresh = false;
  return MakeOrTakeOver(path, fresh) && Sound(path, true);
}

std::optional<Text> BackupStore::NameUnderRoot(TextView folder) const {
  const Text path = WithoutTrailingSeparators(folder);
  if (path.size() <= root_.size() + 1 || path[root_.size()] != u'\\') return std::nullopt;
  if (FoldCase(TextView(path).substr(0, root_.size())) != FoldCase(root_)) return std::nullopt;
  const Text name = path.substr(root_.size() + 1);
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
