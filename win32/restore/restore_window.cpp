#include "win32/restore/restore_window.h"

#include <commctrl.h>

#include <chrono>
#include <iterator>
#include <string>
#include <utility>

#include "core/platform/activity_log.h"
#include "win32/base/ansi.h"
#include "win32/machine/win32_restore_files.h"
#include "win32/restore/restore_command.h"
#include "win32/restore/restore_window_design.h"

namespace zc::win {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kCatalogRead = WM_APP + 1;  // the reading thread has put its rows in place
// How long opening the window waits for the catalog before it shows an empty list.
constexpr auto kQuickRead = std::chrono::milliseconds(500);

}  // namespace

RestoreWindow::~RestoreWindow() {
  if (reader_.joinable()) reader_.join();
  HWND window = std::exchange(window_, nullptr);
  if (window) DestroyWindow(window);
}

void RestoreWindow::Open(HWND owner) {
  if (!window_ && !Create(owner)) return;
  list_.SetRows({});
  ReadCatalog();
  {
    std::unique_lock lock(readMutex_);
    readDone_.wait_for(lock, kQuickRead, [this] { return readRows_.has_value(); });
  }
  if (!TakeReadRows()) Fill();
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void RestoreWindow::ReadCatalog() {
  if (reading_) {
    readAgain_ = true;
    return;
  }
  if (reader_.joinable()) reader_.join();
  reading_ = true;
  // The thread has adapters and texts of its own: nothing it touches is the window's.
  reader_ = std::thread([this, window = window_, ownRoot = ownRoot_] {
    SilentFailureReporter silent;
    const ConstantTexts texts(silent);
    Win32RestoreFiles files;
    std::vector<CatalogRow> rows = ListRecordedTreatments(texts, files, texts.Get(enc::BackupRoot));
    if (!ownRoot.empty()) {
      std::vector<CatalogRow> own = ListRecordedTreatments(texts, files, ownRoot, true);
      rows.insert(rows.begin(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    }
    {
      std::lock_guard lock(readMutex_);
      readRows_ = std::move(rows);
    }
    readDone_.notify_all();
    PostMessageW(window, kCatalogRead, 0, 0);
  });
}

bool RestoreWindow::TakeReadRows() {
  std::vector<CatalogRow> rows;
  {
    std::lock_guard lock(readMutex_);
    if (!readRows_) return false;
    rows = std::move(*readRows_);
    readRows_.reset();
  }
  reading_ = false;
  list_.SetRows(std::move(rows));
  Fill();
  if (readAgain_) {
    readAgain_ = false;
    ReadCatalog();
  }
  return true;
}

bool RestoreWindow::Create(HWND owner) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!GetClassInfoExW(instance, kRestoreWindowClass, &windowClass)) {
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &RestoreWindow::Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kRestoreWindowClass;
    if (!RegisterClassExW(&windowClass)) return false;
  }
  RECT frame{0, 0, kRestoreClientWidth, kRestoreClientHeight};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  window_ = CreateWindowExW(0, kRestoreWindowClass, kRestoreWindowCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, this);
  if (!window_) return false;

  font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGEUL_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"굴림"));
  const RECT& l = kRestoreListRect;
  listView_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                              l.left, l.top, l.right - l.left, l.bottom - l.top, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRestoreList)), instance, nullptr);
  const RECT& b = kRestoreButtonRect;
  HWND button = CreateWindowExW(0, L"BUTTON", kRestoreButtonCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                b.left, b.top, b.right - b.left, b.bottom - b.top, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRestoreButton)), instance, nullptr);
  if (!listView_ || !button) return false;
  SendMessageW(listView_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  int index = 0;
  for (const RestoreColumn& column : kRestoreColumns) {
    LVCOLUMNW lvColumn{};
    lvColumn.mask = LVCF_TEXT | LVCF_WIDTH;
    lvColumn.cx = column.width;
    lvColumn.pszText = const_cast<wchar_t*>(column.header);
    SendMessageW(listView_, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&lvColumn));
  }
  return true;
}

void RestoreWindow::Fill() {
  SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
  for (size_t row = 0; row < list_.Rows().size(); ++row) {
    const auto cells = list_.Cells(row);
    for (size_t column = 0; column < cells.size(); ++column) {
      std::wstring text = ToWide(cells[column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = text.data();
      SendMessageW(listView_, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, column == 0 ? 0 : row,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
}

void RestoreWindow::OnRestoreClicked() {
  const int selected = static_cast<int>(SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  const bool chosenOwn = selected >= 0 && static_cast<size_t>(selected) < list_.Rows().size() &&
                         list_.Rows()[static_cast<size_t>(selected)].ownStore;
  // The account's own store is restored here, by this copy, never elevated.
  if (!elevation_.IsElevated() && !chosenOwn) {
    if (selected < 0 || static_cast<size_t>(selected) >= list_.Rows().size()) {
      MessageBoxW(window_, ToWide(texts_.Get(enc::RestoreNothingSelected)).c_str(),
                  ToWide(texts_.Get(enc::MessageTitle)).c_str(), MB_OK | MB_ICONINFORMATION);
      return;
    }
    OfferElevatedRestore(texts_, elevation_, list_.Rows()[static_cast<size_t>(selected)].folder, window_);
    return;
  }
  const Text message = list_.RestoreRow(selected);
  list_.SetRows({});
  Fill();
  ReadCatalog();
  MessageBoxW(window_, ToWide(message).c_str(), ToWide(texts_.Get(enc::MessageTitle)).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

LRESULT CALLBACK RestoreWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<RestoreWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kRestoreButton && HIWORD(wParam) == BN_CLICKED) self->OnRestoreClicked();
      return 0;
    case kCatalogRead:
      self->TakeReadRows();
      return 0;
    case WM_CLOSE:
      ShowWindow(window, SW_HIDE);  // kept for the next opening
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace zc::win
