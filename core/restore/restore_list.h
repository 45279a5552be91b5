#pragma once
// The restore window's logic: the recorded treatments as rows of four cells, and the
// restore of the backup folder that holds the chosen row's treatment.

#include <array>
#include <utility>
#include <vector>

#include "core/restore/backup_catalog.h"
#include "core/restore/restore_runner.h"

namespace zc {

class RestoreList {
 public:
  // `ownRunner`: the restore of the running account's own store, for its rows; none for
  // a copy with administrator rights, which never lists that store.
  RestoreList(const ConstantTexts& texts, RestoreRunner& runner, RestoreRunner* ownRunner = nullptr)
      : texts_(texts), runner_(runner), ownRunner_(ownRunner) {}

  // Takes the rows of a catalog read (ListRecordedTreatments; the window reads it off
  // its own thread).
  void SetRows(std::vector<CatalogRow> rows) { rows_ = std::move(rows); }
  const std::vector<CatalogRow>& Rows() const { return rows_; }
  // Name, time, what was done (marked for the account's own store), restored or not.
  std::array<Text, 4> Cells(size_t row) const;

  // Restores every open treatment of the row's backup folder (the same restore as the
  // command line's). Returns the message to show: the problems, the notice that all was
  // restored, or the request to choose a row. The caller reads the list again.
  Text RestoreRow(int row);

 private:
  const ConstantTexts& texts_;
  RestoreRunner& runner_;
  RestoreRunner* ownRunner_;
  std::vector<CatalogRow> rows_;
};

}  // namespace zc
