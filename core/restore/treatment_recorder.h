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
};

class TreatmentRecorder {
 public:
  explicit TreatmentRecorder(const RecorderParts& parts)
      : p_(parts), store_({parts.texts, parts.files, parts.security}) {}

  // Makes `backupFolder` (a folder path without a trailing separator, directly under
  // the backup root) and the root so that only administrators can change them, then
  // starts the entries of a new treatment in its record; it gets the next free number
  // of that record. False, and nothing recorded, when the folder cannot be made safe:
  // then nothing may be written into it.
  bool Begin(TextView backupFolder, TextView name, TextView kind);

  void EndedProcess(TextView name, uint32_t processId, TextView imagePath);
  // `backupPath` is the full path of the backup copy; empty when there is none.
  void File(TextView path, TextView backupPath);
  // Records the value when it exists; a missing value has nothing to undo.
  void RegistryValue(int32_t root, TextView keyPath, TextView valueName);
  // The service's Start value under `serviceKeyPath`, before it is changed.
  void ServiceStart(int32_t root, TextView serviceKeyPath, TextView serviceName);
  // The service's configuration, before it is deleted; nothing for a missing service.
  void ServiceDelete(TextView serviceName);

  // The record file of a backup folder.
  static Text RecordPath(const ConstantTexts& texts, TextView backupFolder);

 private:
  void Append(const RecordLine& line);

  RecorderParts p_;
  BackupStore store_;
  Text folderName_;
  Text recordPath_;
  int number_ = 0;
  bool needsLineEnd_ = false;  // the record ends in a line cut short by a crash
};

}  // namespace zc
