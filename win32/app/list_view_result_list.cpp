#include "win32/app/list_view_result_list.h"

#include <commctrl.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// The list-view messages, ANSI forms.
constexpr UINT kInsertItem = 0x1007;
constexpr UINT kSetItem = 0x1006;
constexpr UINT kGetItemCount = 0x1004;
constexpr UINT kGetItemText = 0x102D;
constexpr UINT kDeleteItem = 0x1008;
constexpr UINT kInsertColumn = 0x101B;
constexpr UINT kSetExtendedStyle = 0x1036;

constexpr UINT kItemMaskTextAndImage = 3;  // LVIF_TEXT | LVIF_IMAGE
constexpr UINT kColumnMaskAll = 15;        // format, width, text, sub-item

}  // namespace

bool ListViewResultList::Create(HWND parent, int left, int top, int width, int height) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  list_ = CreateWindowExA(0, "SysListView32", "", kStyle, left, top, width, height, parent, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  return list_ != nullptr;
}

void ListViewResultList::SetExtendedStyle(DWORD style) {
  SendMessageA(list_, kSetExtendedStyle, 0, static_cast<LPARAM>(style));
}

void ListViewResultList::AddColumn(int32_t width, TextView header, int32_t index) {
  std::string text = ToAnsi(header);
  LVCOLUMNA column{};
  column.mask = kColumnMaskAll;
  column.fmt = 0;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  SendMessageA(list_, kInsertColumn, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void ListViewResultList::AddRow(RowBuffer& buffer, int32_t image) {
  const int32_t row = RowCount();
  std::string first = ToAnsi(buffer[0]);
  LVITEMA item{};
  item.mask = kItemMaskTextAndImage;
  item.iItem = row;
  item.iSubItem = 0;
  item.pszText = first.data();
  item.iImage = image;
  SendMessageA(list_, kInsertItem, 0, reinterpret_cast<LPARAM>(&item));
  for (size_t i = 1; i < buffer.size(); ++i) {
    std::string cell = ToAnsi(buffer[i]);
    LVITEMA sub{};
    sub.mask = LVIF_TEXT;
    sub.iItem = row;
    sub.iSubItem = static_cast<int>(i);
    sub.pszText = cell.data();
    SendMessageA(list_, kSetItem, 0, reinterpret_cast<LPARAM>(&sub));
    buffer[i].clear();
  }
}

int32_t ListViewResultList::RowCount() {
  return static_cast<int32_t>(SendMessageA(list_, kGetItemCount, 0, 0));
}

Text ListViewResultList::GetCellText(int32_t row, int32_t column) {
  // Windows' control copies at most capacity - 1 bytes of a cell into a 255-character
  // buffer; some list-view implementations copy nothing at all when the cell does not
  // fit. Reading into a buffer that holds any cell and cutting here gives the same
  // 254-byte result everywhere.
  std::string buffer(kWholeCellBufferSize, ' ');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = kWholeCellBufferSize;
  SendMessageA(list_, kGetItemText, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  const size_t end = buffer.find('\0');
  if (end == std::string::npos) return {};  // nothing was copied: no such row
  return FromAnsi(CutAnsiText(std::string_view(buffer).substr(0, end), kReadBufferSize - 1));
}

std::string_view CutAnsiText(std::string_view ansi, size_t maxBytes) {
  if (ansi.size() <= maxBytes) return ansi;
  // Do not leave the first byte of a two-byte character behind.
  size_t kept = 0;
  while (kept < maxBytes) {
    const size_t width = IsDBCSLeadByte(static_cast<BYTE>(ansi[kept])) ? 2 : 1;
    if (kept + width > maxBytes) break;
    kept += width;
  }
  return ansi.substr(0, kept);
}

void ListViewResultList::SetCellText(int32_t row, int32_t column, TextView text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return;
  std::wstring wide = ToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewResultList::DeleteRow(int32_t row) {
  SendMessageA(list_, kDeleteItem, static_cast<WPARAM>(row), 0);
}

}  // namespace zc::win
