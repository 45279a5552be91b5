// Drives the running program from another process, as a user's clicks would, and
// reads back what its window shows. One command per run; texts are printed in UTF-8.
//
//   app_driver wait-window MS            the main window exists and is visible
//   app_driver caption                   the main window's title
//   app_driver text ID                   a control's text (labels, check boxes)
//   app_driver checked ID                0, 1 or 2
//   app_driver shown ID                  1 when the control is visible, else 0
//   app_driver enabled ID                1 when the control takes input, else 0
//   app_driver click ID                  BM_CLICK on a check box
//   app_driver press ID                  posted left press and release on a candy button
//   app_driver state                     visible= enabled= layered= alpha=
//   app_driver rect                      the main window's screen rectangle: X Y WIDTH HEIGHT
//   app_driver watch-fade MS             follows the fade-in from the window's creation:
//                                        steps= (opacities seen) top= (highest) disabled=
//                                        (1 when disabled while layered) final= (layered
//                                        style after the fade: 0 or 1) enabled=
//   app_driver rows                      number of rows of the result list
//   app_driver columns                   COUNT: WIDTH... of the result list's columns
//   app_driver cell ROW COLUMN           one cell, read through the program's memory
//   app_driver wait-message TITLE MS     text of the message box with that title
//   app_driver dismiss-message TITLE     presses its OK button
//   app_driver answer-message TITLE yes|no
//                                        answers a Yes/No box with that title and waits
//                                        (up to 5 s) until it has closed
//   app_driver tray CODE                 sends the icon's callback with event CODE
//   app_driver tray-icon-point           screen point of the first icon of the tray window
//   app_driver tray-icon-present         1 when the notification area holds the program's
//                                        icon (a modify of it succeeds), else 0
//   app_driver tray-icon-drop            removes the icon from the notification area, as a
//                                        restart of its host loses every icon
//   app_driver taskbar-created           broadcasts the "TaskbarCreated" message to every
//                                        top-level window, as a restarted host does
//   app_driver menu-choose N MS          in the open pop-up menu, chooses item N (from 1)
//   app_driver restore-rows MS           waits for the restore window; prints its row count
//   app_driver restore-cell ROW COL      a cell of the restore window's list (as text)
//   app_driver restore-choose ROW        selects a row of the restore window and clicks 복원
//   app_driver close                     asks the main window to close
//   app_driver close-explorers           closes file-explorer windows
//   app_driver run-values                the values of the log-on key, NAME=DATA lines
//   app_driver setting                   the stored start-at-log-on option
//   app_driver set-setting VALUE|-       stores it (- removes it)
//   app_driver set-run-value NAME DATA   writes a log-on value (- as DATA removes it)
//   app_driver hold-file PATH SECONDS    holds PATH open for reading, others may only read it,
//                                        until SECONDS pass or the process is ended; prints
//                                        "held" once it holds it
//
// Exit status 0 on success, 1 when the window, box or item is not there, 2 on misuse.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kMainClass[] = L"ZombieCureForm1";
constexpr wchar_t kReceiverClass[] = L"ZombieCureIconReceiver";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kOptionKey[] = L"Software\\23fksd\\sdg22f";
constexpr wchar_t kOptionValue[] = L"ssat3";

void Print(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  utf8 += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring WindowText(HWND window) {
  std::wstring text(32768, L'\0');
  const LRESULT length = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

HWND MainWindow() { return FindWindowW(kMainClass, nullptr); }

HWND ResultList(HWND main) { return FindWindowExW(main, nullptr, L"SysListView32", nullptr); }

HWND WaitFor(const std::wstring& windowClass, const std::wstring& title, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    HWND window = FindWindowW(windowClass.c_str(), title.empty() ? nullptr : title.c_str());
    if (window && IsWindowVisible(window)) return window;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(50);
  }
}

int CellText(HWND list, int row, int column) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return 1;
  // Read with the wide message into a buffer that holds any cell, so the text comes back
  // whole, whatever its length and characters.
  constexpr size_t kText = 32768;
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kText * sizeof(wchar_t),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
  item.cchTextMax = kText;
  WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  std::vector<wchar_t> text(kText + 1, L'\0');
  ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), kText * sizeof(wchar_t), nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  Print(std::wstring(text.data()));
  return 0;
}

HWND RestoreList(HWND window) { return GetDlgItem(window, 201); }

// Selects one row of another process's list view (the item record must live there).
int SelectRow(HWND list, int row) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return 1;
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT | MEM_RESERVE,
                                                   PAGE_READWRITE));
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
  const LRESULT done = SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return done ? 0 : 1;
}

void PrintRunValues() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD nameLength = 512;
    BYTE data[4096] = {};
    DWORD dataBytes = sizeof(data) - 2;
    DWORD type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataBytes) != ERROR_SUCCESS) break;
    std::wstring line(name, nameLength);
    line += L"=";
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::wstring value(reinterpret_cast<wchar_t*>(data), dataBytes / sizeof(wchar_t));
      while (!value.empty() && value.back() == L'\0') value.pop_back();
      line += value;
    }
    Print(line);
  }
  RegCloseKey(key);
}

int SetValue(const wchar_t* keyPath, const std::wstring& name, const std::wstring& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 1;
  LONG status;
  if (data == L"-")
    status = RegDeleteValueW(key, name.c_str());
  else
    status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS || (data == L"-" && status == ERROR_FILE_NOT_FOUND) ? 0 : 1;
}

int PrintSetting() {
  wchar_t value[256] = {};
  DWORD bytes = sizeof(value) - 2;
  if (RegGetValueW(HKEY_CURRENT_USER, kOptionKey, kOptionValue, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
      ERROR_SUCCESS) {
    Print(L"<none>");
    return 0;
  }
  Print(value);
  return 0;
}

BOOL CALLBACK CloseExplorer(HWND window, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) == L"ExplorerWClass" || std::wstring(name) == L"CabinetWClass")
    PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Polls the main window from its creation until its layered style has come and gone.
int WatchFade(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  HWND main = nullptr;
  while (!(main = MainWindow()) && GetTickCount64() < end) Sleep(1);
  if (!main) return 1;
  bool seenLayered = false;
  bool disabledWhileLayered = false;
  int top = -1;
  std::vector<int> seen;
  while (GetTickCount64() < end) {
    const bool layered = (GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (layered) {
      seenLayered = true;
      BYTE alpha = 0;
      DWORD flags = 0;
      if (GetLayeredWindowAttributes(main, nullptr, &alpha, &flags) && (flags & LWA_ALPHA)) {
        if (seen.empty() || seen.back() != alpha) seen.push_back(alpha);
        if (alpha > top) top = alpha;
      }
      if (!IsWindowEnabled(main)) disabledWhileLayered = true;
    } else if (seenLayered) {
      break;
    }
    Sleep(1);
  }
  Sleep(300);  // the window is enabled right after its layered style goes
  const bool finalLayered = (GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  Print(L"steps=" + std::to_wstring(seen.size()) + L" top=" + std::to_wstring(top) + L" disabled=" +
        std::to_wstring(disabledWhileLayered ? 1 : 0) + L" final=" + std::to_wstring(finalLayered ? 1 : 0) +
        L" enabled=" + std::to_wstring(IsWindowEnabled(main) ? 1 : 0));
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.empty()) return 2;
  const std::wstring& command = args[0];
  auto number = [&](size_t i) { return i < args.size() ? _wtoi(args[i].c_str()) : 0; };

  if (command == L"run-values") return PrintRunValues(), 0;
  if (command == L"setting") return PrintSetting();
  if (command == L"set-setting" && args.size() == 2) return SetValue(kOptionKey, kOptionValue, args[1]);
  if (command == L"set-run-value" && args.size() == 3) return SetValue(kRunKey, args[1], args[2]);
  if (command == L"hold-file" && args.size() == 3) {
    HANDLE held = CreateFileW(args[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    Print(L"held");
    Sleep(static_cast<DWORD>(number(2)) * 1000);
    CloseHandle(held);
    return 0;
  }
  if (command == L"tray-icon-point") {
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    if (!tray) tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!tray) return 1;
    POINT origin{0, 0};
    ClientToScreen(tray, &origin);
    const int half = GetSystemMetrics(SM_CXSMICON) / 2 + 2;
    Print(std::to_wstring(origin.x + half) + L" " + std::to_wstring(origin.y + half));
    return 0;
  }
  if (command == L"menu-choose" && args.size() == 3) {
    HWND menu = WaitFor(L"#32768", L"", static_cast<DWORD>(number(2)));
    if (!menu) return 1;
    for (int i = 0; i < number(1); ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return 0;
  }
  if (command.rfind(L"restore-", 0) == 0) {
    HWND restore = WaitFor(L"ZombieCureRestore", L"", command == L"restore-rows" ? static_cast<DWORD>(number(1)) : 5000);
    if (!restore || !IsWindowVisible(restore)) return 1;
    if (command == L"restore-rows" && args.size() == 2) {
      return Print(std::to_wstring(SendMessageW(RestoreList(restore), LVM_GETITEMCOUNT, 0, 0))), 0;
    }
    if (command == L"restore-cell" && args.size() == 3) return CellText(RestoreList(restore), number(1), number(2));
    if (command == L"restore-choose" && args.size() == 2) {
      if (SelectRow(RestoreList(restore), number(1)) != 0) return 1;
      PostMessageW(GetDlgItem(restore, 202), BM_CLICK, 0, 0);
      return 0;
    }
    return 2;
  }
  if (command == L"watch-fade" && args.size() == 2) return WatchFade(static_cast<DWORD>(number(1)));
  if (command == L"close-explorers") return EnumWindows(&CloseExplorer, 0), 0;
  if (command == L"wait-message" && args.size() == 3) {
    HWND box = WaitFor(L"#32770", args[1], static_cast<DWORD>(number(2)));
    if (!box) return 1;
    Print(WindowText(GetDlgItem(box, 0xFFFF)));
    return 0;
  }
  if (command == L"answer-message" && args.size() == 3 && (args[2] == L"yes" || args[2] == L"no")) {
    HWND box = FindWindowW(L"#32770", args[1].c_str());
    if (!box) return 1;
    PostMessageW(box, WM_COMMAND, args[2] == L"yes" ? IDYES : IDNO, 0);
    const ULONGLONG end = GetTickCount64() + 5000;
    while (IsWindow(box) && GetTickCount64() < end) Sleep(20);
    return IsWindow(box) ? 1 : 0;
  }
  if (command == L"dismiss-message" && args.size() == 2) {
    HWND box = FindWindowW(L"#32770", args[1].c_str());
    if (!box) return 1;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
  }

  HWND main = command == L"wait-window" ? WaitFor(kMainClass, L"", static_cast<DWORD>(number(1))) : MainWindow();
  if (!main) return 1;
  if (command == L"wait-window") return 0;
  if (command == L"caption") return Print(WindowText(main)), 0;
  if (command == L"text") {
    HWND control = GetDlgItem(main, number(1));
    return control ? (Print(WindowText(control)), 0) : 1;
  }
  if (command == L"checked") return Print(std::to_wstring(SendMessageW(GetDlgItem(main, number(1)), BM_GETCHECK, 0, 0))), 0;
  if (command == L"shown") return Print(IsWindowVisible(GetDlgItem(main, number(1))) ? L"1" : L"0"), 0;
  if (command == L"enabled") return Print(IsWindowEnabled(GetDlgItem(main, number(1))) ? L"1" : L"0"), 0;
  if (command == L"click") {
    // Posted, as the click's handling may open a modal box.
    HWND box = GetDlgItem(main, number(1));
    if (!box) return 1;
    PostMessageW(box, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"press") {
    HWND button = GetDlgItem(main, number(1));
    if (!button) return 1;
    RECT r{};
    GetClientRect(button, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(button, WM_MOUSEMOVE, 0, at);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(button, WM_LBUTTONUP, 0, at);
    return 0;
  }
  if (command == L"state") {
    BYTE alpha = 0;
    DWORD flags = 0;
    const LONG exStyle = GetWindowLongW(main, GWL_EXSTYLE);
    const bool layered = (exStyle & WS_EX_LAYERED) != 0;
    if (layered) GetLayeredWindowAttributes(main, nullptr, &alpha, &flags);
    Print(L"visible=" + std::to_wstring(IsWindowVisible(main) ? 1 : 0) + L" enabled=" +
          std::to_wstring(IsWindowEnabled(main) ? 1 : 0) + L" layered=" + std::to_wstring(layered ? 1 : 0) +
          L" alpha=" + std::to_wstring(alpha));
    return 0;
  }
  if (command == L"rect") {
    RECT r{};
    GetWindowRect(main, &r);
    Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) +
          L" " + std::to_wstring(r.bottom - r.top));
    return 0;
  }
  if (command == L"rows") return Print(std::to_wstring(SendMessageW(ResultList(main), LVM_GETITEMCOUNT, 0, 0))), 0;
  if (command == L"columns") {
    HWND list = ResultList(main);
    const auto count = SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0);
    std::wstring line = std::to_wstring(count) + L":";
    for (int i = 0; i < count; ++i) line += L" " + std::to_wstring(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
    Print(line);
    return 0;
  }
  if (command == L"cell" && args.size() == 3) return CellText(ResultList(main), number(1), number(2));
  if (command == L"tray-icon-present" || command == L"tray-icon-drop") {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = FindWindowExW(main, nullptr, kReceiverClass, nullptr);
    icon.uID = 1;
    if (!icon.hWnd) return 1;
    if (command == L"tray-icon-drop") return Shell_NotifyIconW(NIM_DELETE, &icon) ? 0 : 1;
    return Print(Shell_NotifyIconW(NIM_MODIFY, &icon) ? L"1" : L"0"), 0;
  }
  if (command == L"taskbar-created") {
    const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message != 0 && PostMessageW(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
  }
  if (command == L"tray" && args.size() == 2) {
    HWND receiver = FindWindowExW(main, nullptr, kReceiverClass, nullptr);
    if (!receiver) return 1;
    PostMessageW(receiver, 512, 0, number(1));
    return 0;
  }
  if (command == L"close") return PostMessageW(main, WM_CLOSE, 0, 0), 0;
  return 2;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return Run(args);
}
