#pragma once
// The notification-area icon through Shell_NotifyIconW, built from the main window's
// stored record, with the callback going to the invisible receiver window.

#include <windows.h>
#include <shellapi.h>

#include "core/app/tray_icon_record.h"

namespace zc::win {

// The wide layout with the balloon fields (952 bytes in a 64-bit program); the
// balloon text is UTF-16, so no character is lost to a code page.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAW_V2_SIZE;

// An all-zero record (size included) until the core has filled it. A balloon text too
// long for the record is cut, never inside a surrogate pair.
NOTIFYICONDATAW BuildTrayRecord(const TrayIconRecord& record, HWND receiver, HICON icon);

void AddTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon);
void DeleteTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon);

}  // namespace zc::win
