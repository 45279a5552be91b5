#include "core/restore/restore_list.h"

namespace zc {

std::array<Text, 4> RestoreList::Cells(size_t row) const {
  const CatalogRow& r = rows_.at(row);
  return {r.name, r.time, r.summary, texts_.Get(r.restored ? enc::RestoreStateDone : enc::RestoreStateOpen)};
}

Text RestoreList::RestoreRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return texts_.Get(enc::RestoreNothingSelected);
  const RestoreOutcome outcome = runner_.Restore(rows_[static_cast<size_t>(row)].folder);
  return outcome.Succeeded() ? texts_.Get(enc::RestoreAllDone) : RestoreProblemsMessage(texts_, outcome);
}

}  // namespace zc
