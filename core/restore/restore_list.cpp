#include "core/restore/restore_list.h"

namespace zc {

std::array<Text, 4> RestoreList::Cells(size_t row) const {
  const CatalogRow& r = rows_.at(row);
  const Text summary = r.ownStore ? r.summary + texts_.Get(enc::RestoreOwnStoreMark) : r.summary;
  return {r.name, r.time, summary, texts_.Get(r.restored ? enc::RestoreStateDone : enc::RestoreStateOpen)};
}

Text RestoreList::RestoreRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return texts_.Get(enc::RestoreNothingSelected);
  const CatalogRow& chosen = rows_[static_cast<size_t>(row)];
  // A row of the account's own store goes to its own restore and no other.
  RestoreRunner* runner = chosen.ownStore ? ownRunner_ : &runner_;
  if (!runner) return texts_.Get(enc::RestoreNothingSelected);
  const RestoreOutcome outcome = runner->Restore(chosen.folder);
  return outcome.Succeeded() ? texts_.Get(enc::RestoreAllDone) : RestoreProblemsMessage(texts_, outcome);
}

}  // namespace zc
