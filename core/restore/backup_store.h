#pragma once
// The backup root and its backup folders as a store that only administrators can
// change. Before a treatment writes into a backup folder, and before a restore reads
// one, the root and the folder are checked: no reparse point, owner Administrators or
// SYSTEM, no allowing entry that gives anyone but SYSTEM, Administrators and
// TrustedInstaller a right that changes it (data, attributes, deletion, permissions,
// owner; on a folder also deleting what is inside). The account this program runs as
// is not enough: an administrator's unelevated programs run as that account too.
// A root that fails (made by a user, or by an earlier version of this program with the
// drive root's rights) is taken over: owner and protected rights are set again, and a
// new sealing key is made, so nothing written there before counts as ours. A backup
// folder that fails is taken over the same way, and so are the record and the activity
// log inside it; what cannot be taken over (a second link, a reparse point) makes the
// store refuse to write there, and Problem() says why.
//
// A standard user's own store (store_location.h) follows the same rules with that
// user's account among its keepers; it is made with rights of its own and never taken
// over: what fails there is refused.
//
// A record is trusted when its folder lies directly under the checked root and passes
// the same check, the record file passes it too (one link, no reparse point), the key
// passes it, and every entry carries the key's seal.

#include <optional>
#include <string>

#include "core/base/text.h"
#include "core/platform/restore_files_api.h"
#include "core/platform/security_api.h"
#include "core/restore/store_location.h"
#include "core/texts/constant_texts.h"

namespace zc {

// Owner Administrators or SYSTEM, a DACL present, and no allowing entry of the item's
// own that gives anyone but SYSTEM, Administrators and TrustedInstaller a right that
// changes it. Reparse points and extra links fail.
bool OnlyAdministratorsCanChange(const SecurityFacts& facts);

// The same for a standard user's own store: its own account may also own and change it.
bool OnlyKeepersCanChange(const SecurityFacts& facts, StoreKeeper keeper);

// The name of `folder` when it names a folder directly under `root` (letter case and
// trailing separators aside) with a plain name; nothing otherwise.
std::optional<Text> NameDirectlyUnder(TextView root, TextView folder);

struct StoreParts {
  const ConstantTexts& texts;
  RestoreFilesApi& files;
  SecurityApi& security;
  StoreLocation location{};  // the machine's store unless told otherwise
};

class BackupStore {
 public:
  explicit BackupStore(const StoreParts& parts);

  const Text& Root() const { return root_; }
  StoreKeeper Keeper() const { return p_.location.keeper; }

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

  // Why the last PrepareRoot or PrepareFolder refused, for the user: a line naming the
  // place; empty after a success.
  const Text& Problem() const { return problem_; }

  // The folder when `folder` names a folder directly under the root (letter case and
  // trailing separators aside): its name; nothing otherwise.
  std::optional<Text> NameUnderRoot(TextView folder) const;

  // Whether the record `content` read from `folder`'s record file can be acted on
  // without asking the user. Call after PrepareRoot.
  bool Trusts(TextView folder, std::string_view content);

 private:
  bool Own() const;
  // An own store's parent (the program's folder in the local application data): made
  // when missing; a link there is refused.
  bool MakeOwnParent();
  bool Sound(TextView path, bool folder);
  // Makes the folder with protected rights, or takes over one that others could change;
  // false for a reparse point or a file. `fresh`: the folder is new or was taken over.
  bool MakeOrTakeOver(const Text& path, bool& fresh);
  // A file the program appends to inside a backup folder: absent, ours, or taken over.
  bool OursOrTakenOver(const Text& path);
  bool LoadOrMakeKey(bool fresh);
  bool Refuse(TextView why, TextView path);

  StoreParts p_;
  Text root_;
  std::string key_;
  Text problem_;
};

}  // namespace zc
