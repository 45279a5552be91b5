#pragma once
// The main window's own controls as its logic sees them: the two check boxes, the
// labels that start-up fills, the treat button's enabled state, the window itself, the
// notification-area icon and its pop-up menu. The slice that the checks and the
// treatment pass use (status label, count label, indicator, message boxes, Delay, the
// program's end) comes from MainWindowView.

#include <cstdint>

#include "core/app/event_pump.h"
#include "core/app/fade_in.h"
#include "core/app/tray_icon_record.h"
#include "core/base/text.h"
#include "core/platform/main_window_view.h"

namespace zc {

enum class CheckState : int {
  Unchecked = 0,
  Checked = 1,
  Greyed = 2,
};

// The answer to a question with Yes, No and Cancel.
enum class Answer {
  Yes,
  No,
  Cancel,  // also a box closed without an answer
};

// What the user chose in the notification-area icon's pop-up menu.
enum class TrayMenuChoice {
  None,
  Homepage,  // "홈페이지 이동"
  Exit,      // "종료"
  Restore,   // "치료 복원..."
};

class Form1View : public MainWindowView, public FadeTarget {
 public:
  // The result list, created at run time as a child of the window.
  virtual bool CreateResultList(int left, int top, int width, int height) = 0;
  virtual void SetResultListExtendedStyle(uint32_t style) = 0;
  virtual void AddResultListColumn(int32_t width, TextView header, int32_t index) = 0;

  // A critical message box under the program's default title (its file name), for the
  // one failure that happens before the common title can be trusted.
  virtual void ShowCriticalMessageWithDefaultTitle(TextView text) = 0;

  virtual void SetCaption(TextView text) = 0;
  virtual void SetNoticeText(TextView text) = 0;   // Label1
  virtual void SetVersionText(TextView text) = 0;  // Label3

  // Setting a state does not raise the box's click handling; the logic calls it itself.
  virtual CheckState Check1State() = 0;
  virtual void SetCheck1State(CheckState state) = 0;
  // A disabled box shows its state but takes no click (a machine policy decides it).
  virtual void SetCheck1Enabled(bool enabled) = 0;
  virtual CheckState Check2State() = 0;
  // Sets the monitoring box without a click (its handling runs only when called).
  virtual void SetCheck2State(CheckState state) = 0;

  virtual void SetIndicatorVisible(bool visible) = 0;  // Label5
  virtual void SetTreatButtonEnabled(bool enabled) = 0;
  // Shows the system's shield beside the treat button's caption: using it asks for an
  // administrator's token.
  virtual void SetTreatButtonShield(bool shown) = 0;
  // A modal question with Yes and No; true for Yes.
  virtual bool AskYesNo(TextView text, TextView title) = 0;
  // A modal question with Yes, No and Cancel, Yes the default button.
  virtual Answer AskYesNoCancel(TextView text, TextView title) = 0;

  virtual void HideMainWindow() = 0;
  // Restores the window when it is minimised and puts it in front of the others.
  virtual void BringToFront() = 0;

  // Shell_NotifyIcon add and delete with the stored record; results are not examined.
  virtual void AddTrayIcon(const TrayIconRecord& record) = 0;
  virtual void DeleteTrayIcon(const TrayIconRecord& record) = 0;

  // Opens the pop-up menu at the pointer and returns when it has closed.
  virtual TrayMenuChoice ShowTrayMenu() = 0;
  // Greys the menu's homepage item out, or makes it available again.
  virtual void SetHomepageMenuEnabled(bool enabled) = 0;

  // Opens the restore window (or brings it to the front) over the main window.
  virtual void OpenRestoreWindow() = 0;

  // The folder the program was started from (no trailing separator unless it is a
  // drive's root) and the program's file name without extension.
  virtual Text ProgramFolder() = 0;
  virtual Text ProgramFileName() = 0;
};

}  // namespace zc
