#pragma once
// Writes the treatment record: before each destructive step the treatment pass tells
// the recorder what it is about to destroy, and the recorder reads what is needed to
// undo it (a file's digest and attributes, a registry value's type and data, a
// service's Start value and configuration) and appends one entry to the record file of
// the backup folder. Each entry goes out whole, with one append and a flush, so a crash
// leaves every earlier entry readable. Failures are swallowed: recording never stops a
// treatment.

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/platform/clock_api.h"
#include "core/platform/file_hash_api.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/restore_files_api.h"
#include "core/platform/security_api.h"
#include "core/platform/service_manager_api.h"
#include "core/restore/backup_store.h"
#include "core/restore/record_line.h"
#include "core/texts/constant_texts.h"

namespace zc {

struct RecorderParts {
  const ConstantTexts& texts;
  RestoreFilesApi& files;
  FileHashApi& hashes;
  RawRegistryApi& registry;
  ServiceManagerApi& services;
  ClockApi& clock;
  SecurityApi& security;
  StoreLocation store{};  // the machine's store unless told otherwise
};

class TreatmentRecorder {
 public:
  explicit TreatmentRecorder(const RecorderParts& parts)
      : p_(parts), store_({parts.texts, parts.files, parts.security, parts.store}) {}

  // The root of the store the backup folders go under, without a trailing separator.
  const Text& StoreRoot() const { return store_.Root(); }
  // Whether the store is a standard user's own (then only that user's steps are taken).
  bool KeepsOwnAccountStore() const { return store_.Keeper() == StoreKeeper::OwnAccount; }

  // Makes `backupFolder` (a folder path without a trailing separator, directly under
  // the store's root) and the root so that only their keepers can change them, then
  // starts the entries of a new treatment in its record; it gets the next free number
  // of that record. False, and nothing recorded, when the folder cannot be made safe:
  // then nothing may be written into it.
  bool Begin(TextView backupFolder, TextView name, TextView kind);

  void EndedProcess(TextView name, uint32_t processId, TextView imagePath);
  // `backupPath` is the full path of the backup copy; empty when there is none.
  void File(TextView path, TextView backupPath);
  // Records the value when it exists; a missing value has nothing to undo. `keyPath` is
  // the logical key (never through WOW6432Node), `view` the branch it was read in (only
  // HKLM's software keys have two); `userSid`, for a value of HKCU, names the user whose
  // hive (HKEY_USERS\<sid>) it was taken from; empty: the running account's own.
  void RegistryValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName, TextView userSid = {});
  // As above for a key path that may reach the 32-bit branch through WOW6432Node: such a
  // value is recorded by its logical key in the 32-bit view.
  void RegistryValue(int32_t root, TextView keyPath, TextView valueName);
  // Right after the deletion of `path` was queued for the next restart: the path as the
  // queue holds it ("\??\C:\...", long "\\?\" paths too), so a restore can take it out.
  void PendingDeletion(TextView path);
  // The service's Start value under `serviceKeyPath`, before it is changed (and whether
  // the service runs, for the restore to start it again).
  void ServiceStart(int32_t root, TextView serviceKeyPath, TextView serviceName);
  // Before the service is deleted: everything the service manager holds for it (its
  // configuration, each further setting, its security descriptor), the values of its
  // private subkeys ("Parameters", ...) and the shared hosts' group lists naming it;
  // nothing for a missing service.
  void ServiceDelete(TextView serviceName);

  // The record file of a backup folder.
  static Text RecordPath(const ConstantTexts& texts, TextView backupFolder);

 private:
  void Append(const RecordLine& line);
  void RecordPrivateValues(TextView serviceName, const RegistryKeyPlace& key, TextView subkey);
  bool Runs(TextView serviceName);

  RecorderParts p_;
  BackupStore store_;
  Text folderName_;
  Text recordPath_;
  int number_ = 0;
  bool needsLineEnd_ = false;  // the record ends in a line cut short by a crash
  std::vector<Text> runningServices_;  // folded names of services seen running in this treatment
};

}  // namespace zc
