#include "win32/app/list_view_result_list.h"

#include <commctrl.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

constexpr UINT kItemMaskTextAndImage = LVIF_TEXT | LVIF_IMAGE;
constexpr UINT kColumnMaskAll = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;

void ShowCell(HWND list, int32_t row, int32_t column, TextView text) {
  std::wstring wide = ToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool ListViewResultList::Create(HWND parent, int left, int top, int width, int height) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", kStyle, left, top, width, height, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  return list_ != nullptr;
}

void ListViewResultList::SetExtendedStyle(DWORD style) {
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

void ListViewResultList::AddColumn(int32_t width, TextView header, int32_t index) {
  std::wstring text = ToWide(header);
  LVCOLUMNW column{};
  column.mask = kColumnMaskAll;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void ListViewResultList::AddRow(RowBuffer& buffer, int32_t image) {
  const int32_t row = RowCount();
  std::wstring first = ToWide(buffer[0]);
  LVITEMW item{};
  item.mask = kItemMaskTextAndImage;
  item.iItem = row;
  item.iSubItem = 0;
  item.pszText = first.data();
  item.iImage = image;
  // The row is kept only once the control has taken it, so the two never disagree.
  const bool shown = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == row;
  if (shown) rows_.push_back(buffer);
  for (size_t i = 1; i < buffer.size(); ++i) {
    if (shown) ShowCell(list_, row, static_cast<int32_t>(i), buffer[i]);
    buffer[i].clear();
  }
}

int32_t ListViewResultList::RowCount() { return static_cast<int32_t>(rows_.size()); }

bool ListViewResultList::HasCell(int32_t row, int32_t column) const {
  return row >= 0 && static_cast<size_t>(row) < rows_.size() && column >= 0 && column < kColumnCount;
}

Text ListViewResultList::GetCellText(int32_t row, int32_t column) {
  if (!HasCell(row, column)) return {};
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void ListViewResultList::SetCellText(int32_t row, int32_t column, TextView text) {
  if (!HasCell(row, column)) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = Text(text);
  ShowCell(list_, row, column, text);
}

void ListViewResultList::DeleteRow(int32_t row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  if (!SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) return;
  rows_.erase(rows_.begin() + row);
}

}  // namespace zc::win
