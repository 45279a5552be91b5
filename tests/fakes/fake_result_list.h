#pragma once
// The result list as plain rows, with the list view's rules: rows in insertion order,
// the buffer's cells 1 to 6 emptied by AddRow, operations on missing rows ignored.

#include <vector>

#include "core/platform/result_list.h"

namespace zc::fakes {

class FakeResultList : public ResultList {
 public:
  std::vector<RowBuffer> rows;

  void AddRow(RowBuffer& buffer, int32_t image) override {
    images.push_back(image);
    rows.push_back(buffer);
    for (int32_t i = 1; i < kColumnCount; ++i) buffer[static_cast<size_t>(i)].clear();
  }
  int32_t RowCount() override { return static_cast<int32_t>(rows.size()); }
  Text GetCellText(int32_t row, int32_t column) override {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return {};
    return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
  }
  void SetCellText(int32_t row, int32_t column, TextView text) override {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return;
    rows[static_cast<size_t>(row)][static_cast<size_t>(column)] = Text(text);
  }
  void DeleteRow(int32_t row) override {
    if (row < 0 || row >= RowCount()) return;
    rows.erase(rows.begin() + row);
  }

  // Test helper: appends a whole row.
  void Append(RowBuffer row) { AddRow(row, 0); }
  std::vector<int32_t> images;
};

}  // namespace zc::fakes
