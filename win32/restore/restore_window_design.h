#pragma once
// The restore window's design: its size, the list of recorded treatments with its
// columns, and the restore button. Positions are client pixels.

#include <windows.h>

namespace zc::win {

inline constexpr int kRestoreClientWidth = 560;
inline constexpr int kRestoreClientHeight = 300;
inline constexpr wchar_t kRestoreWindowClass[] = L"ZombieCureRestore";
inline constexpr wchar_t kRestoreWindowCaption[] = L"치료 복원";

enum RestoreControlId : int {
  kRestoreList = 201,
  kRestoreButton,
};

inline constexpr RECT kRestoreListRect = {10, 10, 550, 250};
inline constexpr RECT kRestoreButtonRect = {450, 260, 550, 290};
inline constexpr wchar_t kRestoreButtonCaption[] = L"복원";

struct RestoreColumn {
  const wchar_t* header;
  int width;
};
inline constexpr RestoreColumn kRestoreColumns[] = {
    {L"이름", 130}, {L"시각", 130}, {L"치료 내용", 180}, {L"상태", 90}};

}  // namespace zc::win
