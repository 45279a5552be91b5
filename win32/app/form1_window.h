#pragma once
// The main window: a 683 x 409 black client area with the controls of its design, the
// result list created at run time, the invisible receiver of the notification-area
// icon's callbacks and the three scan timers. Its window procedures only forward
// events to the window's logic (core Form1) and to the timer ticks.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "core/app/form1.h"
#include "core/app/form1_view.h"
#include "win32/app/list_view_result_list.h"
#include "win32/app/window_event_pump.h"
#include "win32/app/window_timers.h"
#include "win32/base/unique_handle.h"
#include "win32/candy/candy_button_window.h"

namespace zc::win {

class Form1Window : public Form1View {
 public:
  using TickHandler = std::function<void(TimerId)>;

  Form1Window();
  ~Form1Window() override;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // False when the window could not be created.
  bool Create(HINSTANCE instance);
  // The logic that receives the window's events, and what runs on a timer tick.
  void Bind(Form1& form, TickHandler onTick);

  HWND Handle() const { return window_; }
  ListViewResultList& Results() { return results_; }
  WindowTimers& Timers() { return timers_; }
  EventPump& Pump() { return pump_; }

  // What opens the restore window, given the main window as its owner.
  void SetRestoreOpener(std::function<void(HWND)> open) { openRestore_ = std::move(open); }

  // Runs the message loop until the program ends; returns the exit code.
  int RunMessageLoop();

  // --- Form1View --------------------------------------------------------------------
  bool CreateResultList(int left, int top, int width, int height) override;
  void SetResultListExtendedStyle(uint32_t style) override;
  void AddResultListColumn(int32_t width, TextView header, int32_t index) override;
  void ShowCriticalMessageWithDefaultTitle(TextView text) override;
  void SetCaption(TextView text) override;
  void SetNoticeText(TextView text) override;
  void SetVersionText(TextView text) override;
  CheckState Check1State() override;
  void SetCheck1State(CheckState state) override;
  void SetCheck1Enabled(bool enabled) override;
  CheckState Check2State() override;
  void SetCheck2State(CheckState state) override;
  void SetIndicatorVisible(bool visible) override;
  void SetTreatButtonEnabled(bool enabled) override;
  void SetTreatButtonShield(bool shown) override;
  bool AskYesNo(TextView text, TextView title) override;
  Answer AskYesNoCancel(TextView text, TextView title) override;
  void HideMainWindow() override;
  void BringToFront() override;
  void AddTrayIcon(const TrayIconRecord& record) override;
  void DeleteTrayIcon(const TrayIconRecord& record) override;
  TrayMenuChoice ShowTrayMenu() override;
  void SetHomepageMenuEnabled(bool enabled) override;
  void OpenRestoreWindow() override;
  Text ProgramFolder() override;
  Text ProgramFileName() override;

  // --- FadeTarget --------------------------------------------------------------------
  void SetWindowEnabled(bool enabled) override;
  void SetLayeredStyle(bool layered) override;
  void SetLayeredOpacity(uint8_t opacity) override;
  void ShowMainWindow() override;

  // --- MainWindowView ----------------------------------------------------------------
  void SetStatusText(TextView text) override;
  void SetTreatedCountText(TextView text) override;
  Text IndicatorText() override;
  void SetIndicatorText(TextView text) override;
  void ShowMessage(TextView text, TextView title, MessageIcon icon) override;
  void Delay(float seconds) override;
  void EndProgram() override;

 private:
  static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMain(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  bool CreateControls(HINSTANCE instance);
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  void SetText(int id, TextView text);
  Text ModulePath();

  HWND window_ = nullptr;
  HWND receiver_ = nullptr;
  ListViewResultList results_;
  WindowTimers timers_;
  WindowEventPump pump_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueBrush background_;
  UniqueFont font_;
  UniqueMenu trayMenu_;
  std::unique_ptr<CandyButtonWindow> treatButton_;
  UniqueIcon shield_;  // the system's shield, shown on the treat button while not elevated
  std::unique_ptr<CandyButtonWindow> trayButton_;
  std::map<int, COLORREF> textColours_;
  Form1* form_ = nullptr;
  TickHandler onTick_;
  std::function<void(HWND)> openRestore_;
  UINT taskbarCreated_ = 0;  // broadcast when the notification area is made anew
  UINT comeForward_ = 0;     // posted by a second start of the program in this session
};

}  // namespace zc::win
