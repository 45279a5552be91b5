#pragma once
// The backup root and its backup folders as a store that only administrators can
// change. Before a treatment writes into a backup folder, and before a restore reads
// one, the root and the folder are checked: no reparse point, owner Administrators or
// SYSTEM, no allowing entry that lets anyone else write or delete. A root that fails
// (made by a user, or by an earlier version of this program with the drive root's
// rights) is taken over: owner and protected rights are set again, and a new sealing
// key is made, so nothing written there before counts as ours.
//
// A record is trusted when its folder lies directly under the checked root and passes
// the same check, the record file passes it too (one link, no reparse point), the key
// passes it, and every entry carries the key's seal.

#include <optional>
#include <string>

#include "core/base/text.h"
#include "core/platform/restore_files_api.h"
#include "core/platform/security_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// Owner Administrators, SYSTEM or the program's own account, a DACL present, and no
// allowing entry that gives write or delete to anyone else. Reparse points and extra links fail.
bool OnlyAdministratorsCanChange(const SecurityFacts& facts);

struct StoreParts {
  const ConstantTexts& texts;
  RestoreFilesApi& files;
  SecurityApi& security;
};

class BackupStore {
 public:
  explicit BackupStore(const StoreParts& parts);

  const Text& Root() const { return root_; }

  // Makes the root, or takes it over when it fails the check, and makes sure of a
  // sealing key. False when the root is a reparse point or cannot be made safe: then
  // nothing may be written into it.
  bool PrepareRoot();

  // PrepareRoot, then makes the folder `name` (a plain name) directly under the root,
  // or sets its rights again when they fail the check. False when nothing may be
  // written into it.
  bool PrepareFolder(TextView folder);

  // The key that seals new entries; empty when PrepareRoot has not succeeded.
  const std::string& Key() const { return key_; }

  // The folder when `folder` names a folder directly under the root (letter case and
  // trailing separators aside): its name; nothing otherwise.
  std::optional<Text> NameUnderRoot(TextView folder) const;

  // Whether the record `content` read from `folder`'s record file can be acted on
  // without asking the user. Call after PrepareRoot.
  bool Trusts(TextView folder, std::string_view content);

 private:
  bool Sound(TextView path, bool folder);
  // Makes the folder with protected rights, or takes over one that others could change;
  // false for a reparse point or a file. `fresh`: the folder is new or was taken over.
  bool MakeOrTakeOver(const Text& path, bool& fresh);
  bool LoadOrMakeKey(bool fresh);

  StoreParts p_;
  Text root_;
  std::string key_;
};

}  // namespace zc
