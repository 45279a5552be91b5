#include "core/scan/result_rows.h"

namespace zc {

void ResultRows::AddRow(RowBuffer& buffer, int32_t) {
  rows_.push_back(buffer);
  for (int32_t i = 1; i < kColumnCount; ++i) buffer[static_cast<size_t>(i)].clear();
}

Text ResultRows::GetCellText(int32_t row, int32_t column) {
  if (!Holds(row, column)) return {};
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void ResultRows::SetCellText(int32_t row, int32_t column, TextView text) {
  if (!Holds(row, column)) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = Text(text);
}

void ResultRows::DeleteRow(int32_t row) {
  if (!Holds(row, 0)) return;
  rows_.erase(rows_.begin() + row);
}

}  // namespace zc
