#pragma once
// The main window's design: client size, the fixed controls with their positions,
// captions and text colours, and the pop-up menu's items. Positions are client pixels.

#include <windows.h>

namespace zc::win {

inline constexpr int kClientWidth = 683;
inline constexpr int kClientHeight = 409;
inline constexpr COLORREF kBackground = RGB(0, 0, 0);

enum ControlId : int {
  kLabel1 = 101,
  kLabel2,
  kLabel3,
  kLabel4,
  kLabel5,
  kLabel6,
  kLabel7,
  kCheck1,
  kCheck2,
  kCandyButton1,
  kCandyButton2,
  kIconReceiver,
};

// The two candy buttons (kCandyButton1 "좀비 치료하기", kCandyButton2 "트레이") carry their
// own design values.
enum class ControlKind { Label, CheckBox };

struct ControlDesign {
  ControlId id;
  ControlKind kind;
  int left, top, width, height;
  const wchar_t* caption;
  COLORREF textColour;
};

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kLightYellow = RGB(255, 255, 128);
inline constexpr COLORREF kCyan = RGB(0, 255, 255);
inline constexpr COLORREF kLightGrey = RGB(200, 200, 200);

inline constexpr ControlDesign kControls[] = {
    {kLabel1, ControlKind::Label, 8, 264, 260, 133, L"", kLightGrey},
    {kLabel5, ControlKind::Label, 328, 256, 113, 17, L"", kLightYellow},
    {kCheck2, ControlKind::CheckBox, 328, 272, 113, 25, L"좀비 실시간 감시", kLightGrey},
    {kLabel4, ControlKind::Label, 328, 304, 81, 17, L"치료 된 좀비  : ", kWhite},
    {kLabel6, ControlKind::Label, 416, 304, 33, 17, L"0건", kWhite},
    {kLabel7, ControlKind::Label, 328, 336, 361, 25, L"현재상태 : ", kWhite},
    {kCheck1, ControlKind::CheckBox, 552, 376, 113, 25, L"부팅 시 자동실행", kLightGrey},
    {kLabel2, ControlKind::Label, 328, 384, 105, 17, L"좀비 치료기 버전:", kWhite},
    {kLabel3, ControlKind::Label, 432, 384, 49, 17, L"", kCyan},
};

// The invisible receiver of the notification-area icon's callbacks; it lies under the
// result list.
inline constexpr RECT kIconReceiverRect = {416, 192, 416 + 9, 192 + 1};

// The pop-up menu of the notification-area icon.
inline constexpr UINT kMenuHomepage = 1;
inline constexpr UINT kMenuExit = 2;
inline constexpr UINT kMenuRestore = 3;
inline constexpr wchar_t kMenuHomepageCaption[] = L"홈페이지 이동";
inline constexpr wchar_t kMenuExitCaption[] = L"종료";
inline constexpr wchar_t kMenuRestoreCaption[] = L"치료 복원...";

inline constexpr wchar_t kMainWindowClass[] = L"ZombieCureForm1";
inline constexpr wchar_t kIconReceiverClass[] = L"ZombieCureIconReceiver";

}  // namespace zc::win
