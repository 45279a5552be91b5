#include "win32/app/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace zc::win {

NOTIFYICONDATAW BuildTrayRecord(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAW data;
  std::memset(&data, 0, sizeof(data));
  if (record.iconId == 0) return data;
  data.cbSize = kTrayRecordSize;
  data.hWnd = receiver;
  data.uID = record.iconId;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = icon;
  const TextView balloon = record.balloonText;
  size_t length = std::min(balloon.size(), std::size(data.szInfo) - 1);
  if (length < balloon.size() && length > 0 && balloon[length - 1] >= 0xD800 && balloon[length - 1] <= 0xDBFF) {
    --length;  // a high surrogate whose partner would be cut off
  }
  std::memcpy(data.szInfo, balloon.data(), length * sizeof(wchar_t));
  data.uTimeout = record.balloonTimeoutMs;
  data.dwInfoFlags = record.balloonIconFlags;
  return data;
}

void AddTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAW data = BuildTrayRecord(record, receiver, icon);
  Shell_NotifyIconW(NIM_ADD, &data);
}

void DeleteTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon) {
  NOTIFYICONDATAW data = BuildTrayRecord(record, receiver, icon);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace zc::win
