#include "win32/app/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/base/ansi.h"

namespace zc::win {

NOTIFYICONDATAA BuildTrayRecord(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof(data));
  if (record.iconId == 0) return data;
  data.cbSize = kTrayRecordSize;
  data.hWnd = receiver;
  data.uID = record.iconId;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = icon;
  const std::string balloon = ToAnsi(record.balloonText);
  const size_t length = std::min(balloon.size(), sizeof(data.szInfo) - 1);
  std::memcpy(data.szInfo, balloon.data(), length);
  data.uTimeout = record.balloonTimeoutMs;
  data.dwInfoFlags = record.balloonIconFlags;
  return data;
}

void AddTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAA data = BuildTrayRecord(record, receiver, icon);
  Shell_NotifyIconA(NIM_ADD, &data);
}

void DeleteTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAA data = BuildTrayRecord(record, receiver, icon);
  Shell_NotifyIconA(NIM_DELETE, &data);
}

}  // namespace zc::win
