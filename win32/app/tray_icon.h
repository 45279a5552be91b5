#pragma once
// The notification-area icon through Shell_NotifyIconA, built from the main window's
// stored record, with the callback going to the invisible receiver window.

#include <windows.h>
#include <shellapi.h>

#include "core/app/tray_icon_record.h"

namespace zc::win {

// The ANSI layout with the balloon fields. In a 64-bit program it is 504 bytes; a
// record claiming the 32-bit size (488) would be read as the old layout without them.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V2_SIZE;

// An all-zero record (size included) until the core has filled it.
NOTIFYICONDATAA BuildTrayRecord(const TrayIconRecord& record, HWND receiver, HICON icon);

void AddTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon);
void DeleteTrayIcon(const TrayIconRecord& record, HWND receiver, HICON icon);

}  // namespace zc::win
