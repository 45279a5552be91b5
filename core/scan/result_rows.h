#pragma once
// The result list of a run without a window: rows of seven texts in memory, with the
// list view's rules (rows in insertion order, the buffer's cells 1 to 6 emptied by
// AddRow, operations on missing rows ignored).

#include <vector>

#include "core/platform/result_list.h"

namespace zc {

class ResultRows : public ResultList {
 public:
  void AddRow(RowBuffer& buffer, int32_t image) override;
  int32_t RowCount() override { return static_cast<int32_t>(rows_.size()); }
  Text GetCellText(int32_t row, int32_t column) override;
  void SetCellText(int32_t row, int32_t column, TextView text) override;
  void DeleteRow(int32_t row) override;

 private:
  bool Holds(int32_t row, int32_t column) const {
    return row >= 0 && row < static_cast<int32_t>(rows_.size()) && column >= 0 && column < kColumnCount;
  }

  std::vector<RowBuffer> rows_;
};

}  // namespace zc
