#pragma once
// The result list as a report-style "SysListView32" child created at run time and
// driven by wide (UTF-16) list-view messages. Each row's seven texts are kept whole in
// memory beside the control: the control only shows them, and whoever reads a Finding
// back (the treatment) reads the kept texts, never a cell the control may have cut.

#include <windows.h>

#include <vector>

#include "core/platform/result_list.h"

namespace zc::win {

class ListViewResultList : public ResultList {
 public:
  // Window style of the list: child, visible, thin border, report view.
  static constexpr DWORD kStyle = 0x50800001;

  ListViewResultList() = default;
  ListViewResultList(const ListViewResultList&) = delete;
  ListViewResultList& operator=(const ListViewResultList&) = delete;

  // Creates the control; false when the window cannot be made. The parent owns it.
  bool Create(HWND parent, int left, int top, int width, int height);
  HWND Handle() const { return list_; }

  void SetExtendedStyle(DWORD style);
  void AddColumn(int32_t width, TextView header, int32_t index);

  void AddRow(RowBuffer& buffer, int32_t image) override;
  int32_t RowCount() override;
  Text GetCellText(int32_t row, int32_t column) override;
  void SetCellText(int32_t row, int32_t column, TextView text) override;
  void DeleteRow(int32_t row) override;

 private:
  bool HasCell(int32_t row, int32_t column) const;

  HWND list_ = nullptr;
  std::vector<RowBuffer> rows_;  // row i of the control shows rows_[i]
};

}  // namespace zc::win
