#pragma once
// Where a treatment's backups and records go, and who keeps them.
//
// The machine's store (the backup root on the system drive) belongs to administrators:
// only an elevated copy writes it, and its records are restored without asking step by
// step. A standard user treating what they own without administrator rights keeps
// theirs in a store of their own, under their local application data folder. Its seal
// key is readable by that user (and so by anything running as that user), so its
// records prove nothing to an administrator: they are restored only by that user,
// unelevated, and never take a step beyond that user's own hive and files.

#include "core/base/text.h"
#include "core/texts/constant_texts.h"

namespace zc {

enum class StoreKeeper {
  Administrators,  // the machine's store
  OwnAccount,      // the running account's own store
};

struct StoreLocation {
  StoreKeeper keeper = StoreKeeper::Administrators;
  // The store's root, without a trailing separator; empty for the machine's backup root.
  Text root;
  // For an own store: the account it belongs to (the only hive its records write into).
  Text ownerSid;
};

// The running account's own store under its local application data folder (given
// without a trailing separator); an empty root when that folder is not known.
StoreLocation OwnAccountStore(const ConstantTexts& texts, TextView localAppData, TextView ownerSid);

// The folder above an own store's root (the program's folder in the local application
// data), made when missing; empty for the machine's store.
Text OwnStoreParent(const StoreLocation& location);

}  // namespace zc
