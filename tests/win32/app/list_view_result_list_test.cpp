// The result list on a real list-view control: how it is created, the row buffer that
// AddRow empties, cells kept whole whatever their length or characters, insertion order
// and deletion from the top.

#include "win32/app/list_view_result_list.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_.reset(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 700, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(parent_);
    ASSERT_TRUE(list_.Create(parent_.get(), 10, 10, 662, 242));
    list_.SetExtendedStyle(33);
    const int widths[] = {100, 60, 200, 200, 100, 50, 50};
    for (int i = 0; i < 7; ++i) list_.AddColumn(widths[i], u"헤더", i);
  }

  RowBuffer Row(TextView first) {
    RowBuffer row;
    row[0] = Text(first);
    for (size_t i = 1; i < row.size(); ++i) row[i] = Text(first) + u"-" + DecimalText(static_cast<long long>(i));
    return row;
  }

  UniqueWindow parent_;
  ListViewResultList list_;
};

TEST_F(ListViewTest, IsAReportListWithGridAndFullRowSelectionAndSevenColumns) {
  char className[64] = {};
  GetClassNameA(list_.Handle(), className, sizeof(className));
  EXPECT_STREQ(className, "SysListView32");
  // The control adds its own scroll bars to the style it was created with.
  const DWORD style = static_cast<DWORD>(GetWindowLongA(list_.Handle(), GWL_STYLE));
  EXPECT_EQ(style & ~DWORD{WS_HSCROLL | WS_VSCROLL}, 0x50800001u);
  EXPECT_EQ(SendMessageA(list_.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 33);
  const int widths[] = {100, 60, 200, 200, 100, 50, 50};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(SendMessageA(list_.Handle(), LVM_GETCOLUMNWIDTH, i, 0), widths[i]) << i;
  RECT r{};
  GetWindowRect(list_.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 662);
  EXPECT_EQ(r.bottom - r.top, 242);
}

TEST_F(ListViewTest, AddRowStoresAllCellsThenEmptiesCellsOneToSix) {
  RowBuffer row = Row(u"좀비.exe");
  list_.AddRow(row, 0);
  EXPECT_EQ(row[0], u"좀비.exe");
  for (size_t i = 1; i < row.size(); ++i) EXPECT_TRUE(row[i].empty()) << i;
  for (int32_t c = 0; c < 7; ++c) EXPECT_EQ(list_.GetCellText(0, c), Row(u"좀비.exe")[static_cast<size_t>(c)]) << c;

  // A check that fills only some cells before the next row leaves the others empty.
  row[kColumnKind] = u"reg Infection";
  list_.AddRow(row, 0);
  EXPECT_EQ(list_.GetCellText(1, kColumnName), u"좀비.exe");
  EXPECT_EQ(list_.GetCellText(1, kColumnKind), u"reg Infection");
  EXPECT_EQ(list_.GetCellText(1, kColumnPath), u"");
}

// What the control shows in a cell, read with the wide message into a buffer that
// holds any cell.
Text Shown(HWND list, int32_t row, int32_t column) {
  std::wstring buffer(70000, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return FromWide(std::wstring_view(buffer.data(), static_cast<size_t>(length)));
}

TEST_F(ListViewTest, CellsReadBackWholeWhateverTheirLengthOrCharacters) {
  // Paths past 254 bytes, past MAX_PATH, and characters no Korean ANSI code page holds
  // (Thai, an emoji as a surrogate pair, a fullwidth quote that best fit would turn into
  // a plain one) all come back exactly as written, and the control shows them as such.
  const Text cases[] = {
      Text(300, u'a'),
      u"C:\\" + Text(200, u'좀') + u"\\" + Text(200, u'x') + u".exe",
      u"C:\\Users\\u\\ไวรัส\\\U0001F600.exe",
      u"\uFF02C:\\x\\mal.exe\uFF02 /s",
  };
  for (const Text& cell : cases) {
    RowBuffer row;
    row[0] = cell;
    row[kColumnPath] = cell;
    list_.AddRow(row, 0);
    const int32_t last = list_.RowCount() - 1;
    EXPECT_EQ(list_.GetCellText(last, kColumnName), cell) << cell.size();
    EXPECT_EQ(list_.GetCellText(last, kColumnPath), cell) << cell.size();
    EXPECT_EQ(Shown(list_.Handle(), last, kColumnPath), cell) << cell.size();
  }
  // A cell set later is kept and shown the same way.
  list_.SetCellText(0, kColumnFlag, u"1 \U0001F600");
  EXPECT_EQ(list_.GetCellText(0, kColumnFlag), u"1 \U0001F600");
  EXPECT_EQ(Shown(list_.Handle(), 0, kColumnFlag), u"1 \U0001F600");
}

TEST_F(ListViewTest, RowsKeepInsertionOrderAndLeaveFromTheTop) {
  for (TextView name : {u"A", u"B", u"C"}) {
    RowBuffer row = Row(name);
    list_.AddRow(row, 0);
  }
  EXPECT_EQ(list_.RowCount(), 3);
  EXPECT_EQ(list_.GetCellText(0, 0), u"A");
  list_.DeleteRow(0);
  EXPECT_EQ(list_.RowCount(), 2);
  EXPECT_EQ(list_.GetCellText(0, 0), u"B");
  EXPECT_EQ(Shown(list_.Handle(), 0, 0), u"B");  // the control and the kept rows agree
  EXPECT_EQ(list_.GetCellText(1, kColumnFlag), u"C-6");

  // Rows and columns that do not exist read as empty; deleting one changes nothing.
  EXPECT_EQ(list_.GetCellText(5, 0), u"");
  list_.DeleteRow(7);
  EXPECT_EQ(list_.RowCount(), 2);
}

}  // namespace
}  // namespace zc::win
