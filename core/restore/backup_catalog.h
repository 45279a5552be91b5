#pragma once
// The treatments recorded under the backup root, as the restore window lists them: one
// row per treatment of every backup folder, newest first.

#include <vector>

#include "core/base/text.h"
#include "core/platform/restore_files_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

struct CatalogRow {
  Text folder;   // the backup folder that holds the treatment's record
  int number = 0;
  Text name;
  Text time;
  Text summary;  // what the treatment did: "파일 1, 레지스트리 값 2, ..."
  bool restored = false;
  bool ownStore = false;  // in the running account's own store: restored without elevation
};

// `ownStore`: `backupRoot` is the running account's own store's root.
std::vector<CatalogRow> ListRecordedTreatments(const ConstantTexts& texts, RestoreFilesApi& files,
                                               TextView backupRoot, bool ownStore = false);

}  // namespace zc
