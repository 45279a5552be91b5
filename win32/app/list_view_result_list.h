#pragma once
// The result list as a report-style "SysListView32" child created at run time and
// driven only by ANSI list-view messages. The control's cells are the only store of
// the rows.

#include <windows.h>

#include <string_view>

#include "core/platform/result_list.h"

namespace zc::win {

class ListViewResultList : public ResultList {
 public:
  // Window style of the list: child, visible, thin border, report view.
  static constexpr DWORD kStyle = 0x50800001;
  // Capacity of the read-back buffer in characters; the control copies at most one
  // less than that of the cell's ANSI text and ends it with a NUL, so a cell reads back
  // cut to its first 254 bytes.
  static constexpr int kReadBufferSize = 255;
  // The buffer actually handed to the control: large enough for any cell.
  static constexpr int kWholeCellBufferSize = 65536;

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
  HWND list_ = nullptr;
};

// The first bytes of an ANSI text, at most `maxBytes`, never ending inside a two-byte
// character of the code page.
std::string_view CutAnsiText(std::string_view ansi, size_t maxBytes);

}  // namespace zc::win
