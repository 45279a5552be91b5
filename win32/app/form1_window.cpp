#include "win32/app/form1_window.h"

#include <shellapi.h>
#include <uxtheme.h>

#include <string>
#include <utility>

#include "core/app/event_pump.h"
#include "core/candy/main_window_buttons.h"
#include "win32/app/form1_design.h"
#include "win32/app/program_icon.h"
#include "win32/app/tray_icon.h"
#include "win32/base/ansi.h"
#include "win32/desktop/copy_messages.h"

namespace zc::win {
namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kIconCallback = 512;

DWORD StyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return WS_CHILD | WS_VISIBLE | SS_LEFT;
    case ControlKind::CheckBox: return WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
  }
  return WS_CHILD;
}

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return L"STATIC";
    case ControlKind::CheckBox: return L"BUTTON";
  }
  return L"STATIC";
}

}  // namespace

Form1Window::Form1Window() = default;

Form1Window::~Form1Window() {
  HWND window = std::exchange(window_, nullptr);
  if (window) DestroyWindow(window);
}

bool Form1Window::Create(HINSTANCE instance) {
  bigIcon_ = CreateProgramIcon(32);
  smallIcon_ = CreateProgramIcon(16);
  background_.reset(CreateSolidBrush(kBackground));

  WNDCLASSEXW mainClass{};
  mainClass.cbSize = sizeof(mainClass);
  mainClass.lpfnWndProc = &Form1Window::MainProc;
  mainClass.hInstance = instance;
  mainClass.hIcon = bigIcon_.get();
  mainClass.hIconSm = smallIcon_.get();
  mainClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  mainClass.hbrBackground = background_.get();
  mainClass.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&mainClass)) return false;

  WNDCLASSEXW receiverClass{};
  receiverClass.cbSize = sizeof(receiverClass);
  receiverClass.lpfnWndProc = &Form1Window::ReceiverProc;
  receiverClass.hInstance = instance;
  receiverClass.lpszClassName = kIconReceiverClass;
  if (!RegisterClassExW(&receiverClass)) return false;

  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
  window_ = CreateWindowExW(0, kMainWindowClass, L"", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                            this);
  if (!window_) return false;
  if (!CreateControls(instance)) return false;

  // The notification area's host tells every top-level window when it starts again; an
  // elevated program must let that message through from the user's own processes.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbarCreated_ != 0) ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
  // A second start in this session asks this window forward; the user's unelevated start
  // must reach an elevated window. No other message of a lower level is let through.
  comeForward_ = ComeForwardMessage();
  if (comeForward_ != 0) ChangeWindowMessageFilterEx(window_, comeForward_, MSGFLT_ALLOW, nullptr);

  // Timer1 and Timer2 run from the window's creation; TmrChk waits for start-up.
  timers_.Attach(window_);
  timers_.StartTimer(TimerId::Timer1);
  timers_.StartTimer(TimerId::Timer2);
  return true;
}

bool Form1Window::CreateControls(HINSTANCE instance) {
  font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGEUL_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"굴림"));
  for (const ControlDesign& design : kControls) {
    HWND control = CreateWindowExW(0, ClassOf(design.kind), design.caption, StyleOf(design.kind), design.left,
                                   design.top, design.width, design.height, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
    if (!control) return false;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    textColours_[design.id] = design.textColour;
    // A themed check box draws its label in the theme's colour, black on the window's
    // black: without a theme it takes the colours the window gives it.
    if (design.kind == ControlKind::CheckBox) SetWindowTheme(control, L"", L"");
  }
  SendMessageW(Control(kCheck2), BM_SETCHECK, BST_CHECKED, 0);

  // The candy buttons tell their clicks through WM_COMMAND like the check boxes.
  treatButton_ = CreateCandyButton(window_, kCandyButton1, candy::TreatButtonValues());
  trayButton_ = CreateCandyButton(window_, kCandyButton2, candy::TrayButtonValues());
  if (!treatButton_ || !trayButton_) return false;

  receiver_ = CreateWindowExW(0, kIconReceiverClass, L"", WS_CHILD, kIconReceiverRect.left, kIconReceiverRect.top,
                              kIconReceiverRect.right - kIconReceiverRect.left,
                              kIconReceiverRect.bottom - kIconReceiverRect.top, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIconReceiver)), instance, this);
  if (!receiver_) return false;

  trayMenu_.reset(CreatePopupMenu());
  AppendMenuW(trayMenu_.get(), MF_STRING, kMenuHomepage, kMenuHomepageCaption);
  AppendMenuW(trayMenu_.get(), MF_STRING, kMenuExit, kMenuExitCaption);
  AppendMenuW(trayMenu_.get(), MF_STRING, kMenuRestore, kMenuRestoreCaption);
  return true;
}

void Form1Window::Bind(Form1& form, TickHandler onTick) {
  form_ = &form;
  onTick_ = std::move(onTick);
}

int Form1Window::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

// --- window procedures -----------------------------------------------------------------

LRESULT CALLBACK Form1Window::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMain(message, wParam, lParam);
}

LRESULT CALLBACK Form1Window::ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // The icon's callback arrives as a mouse move whose second parameter is the event.
  if (message == kIconCallback && self && self->form_) {
    self->form_->P_MouseMove(static_cast<int>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::HandleMain(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (onTick_ && wParam >= 1 && wParam <= 3) onTick_(static_cast<TimerId>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      if (form_) form_->Form_QueryUnload();
      else DestroyWindow(window_);
      return 0;
    case WM_ENDSESSION:  // the system shuts down or the user logs off
      if (wParam && form_) form_->Form_QueryUnload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (form_) form_->Form_TaskbarCreated();
        return 0;
      }
      if (message == comeForward_ && comeForward_ != 0) {
        if (form_) form_->Form_CalledForward();
        return 0;
      }
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Form1Window::OnCommand(int id, int code) {
  if (!form_ || code != BN_CLICKED) return;
  switch (id) {
    case kCheck1: form_->Check1_Click(); break;
    case kCheck2: form_->Check2_Click(); break;
    case kCandyButton1: form_->CandyButton1_Click(); break;
    case kCandyButton2: form_->CandyButton2_Click(); break;
    default: break;
  }
}

LRESULT Form1Window::OnControlColour(HDC dc, HWND control) {
  const auto colour = textColours_.find(GetDlgCtrlID(control));
  SetTextColor(dc, colour == textColours_.end() ? kWhite : colour->second);
  SetBkColor(dc, kBackground);
  return reinterpret_cast<LRESULT>(background_.get());
}

// --- Form1View ---------------------------------------------------------------------------

bool Form1Window::CreateResultList(int left, int top, int width, int height) {
  const bool created = results_.Create(window_, left, top, width, height);
  if (created) SetWindowPos(receiver_, results_.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return created;
}

void Form1Window::SetResultListExtendedStyle(uint32_t style) { results_.SetExtendedStyle(style); }

void Form1Window::AddResultListColumn(int32_t width, TextView header, int32_t index) {
  results_.AddColumn(width, header, index);
}

void Form1Window::ShowCriticalMessageWithDefaultTitle(TextView text) {
  MessageBoxW(window_, ToWide(text).c_str(), ToWide(ProgramFileName()).c_str(), MB_OK | MB_ICONERROR);
}

void Form1Window::SetCaption(TextView text) { SetWindowTextW(window_, ToWide(text).c_str()); }
void Form1Window::SetNoticeText(TextView text) { SetText(kLabel1, text); }
void Form1Window::SetVersionText(TextView text) { SetText(kLabel3, text); }

CheckState Form1Window::Check1State() {
  return static_cast<CheckState>(SendMessageW(Control(kCheck1), BM_GETCHECK, 0, 0));
}

void Form1Window::SetCheck1State(CheckState state) {
  SendMessageW(Control(kCheck1), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void Form1Window::SetCheck1Enabled(bool enabled) { EnableWindow(Control(kCheck1), enabled ? TRUE : FALSE); }

CheckState Form1Window::Check2State() {
  return static_cast<CheckState>(SendMessageW(Control(kCheck2), BM_GETCHECK, 0, 0));
}

void Form1Window::SetCheck2State(CheckState state) {
  SendMessageW(Control(kCheck2), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void Form1Window::SetIndicatorVisible(bool visible) {
  ShowWindow(Control(kLabel5), visible ? SW_SHOW : SW_HIDE);
}

void Form1Window::SetTreatButtonEnabled(bool enabled) { treatButton_->SetEnabled(enabled); }

void Form1Window::SetTreatButtonShield(bool shown) {
  if (shown && !shield_) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof(info);
    if (SUCCEEDED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICON | SHGSI_SMALLICON, &info))) shield_.reset(info.hIcon);
  }
  treatButton_->SetBadge(shown ? shield_.get() : nullptr);
}

bool Form1Window::AskYesNo(TextView text, TextView title) {
  return MessageBoxW(window_, ToWide(text).c_str(), ToWide(title).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

Answer Form1Window::AskYesNoCancel(TextView text, TextView title) {
  switch (MessageBoxW(window_, ToWide(text).c_str(), ToWide(title).c_str(),
                      MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Cancel;
  }
}

void Form1Window::HideMainWindow() { ShowWindow(window_, SW_HIDE); }

void Form1Window::BringToFront() {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

void Form1Window::AddTrayIcon(const TrayIconRecord& record) {
  win::AddTrayIcon(record, receiver_, bigIcon_.get());
}

void Form1Window::DeleteTrayIcon(const TrayIconRecord& record) {
  win::DeleteTrayIcon(record, receiver_, bigIcon_.get());
}

TrayMenuChoice Form1Window::ShowTrayMenu() {
  POINT pointer{};
  GetCursorPos(&pointer);
  SetForegroundWindow(window_);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(trayMenu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                       pointer.x, pointer.y, 0, window_, nullptr));
  PostMessageW(window_, WM_NULL, 0, 0);
  if (chosen == kMenuHomepage) return TrayMenuChoice::Homepage;
  if (chosen == kMenuExit) return TrayMenuChoice::Exit;
  if (chosen == kMenuRestore) return TrayMenuChoice::Restore;
  return TrayMenuChoice::None;
}

void Form1Window::SetHomepageMenuEnabled(bool enabled) {
  EnableMenuItem(trayMenu_.get(), kMenuHomepage, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Form1Window::OpenRestoreWindow() {
  if (openRestore_) openRestore_(window_);
}

Text Form1Window::ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

Text Form1Window::ProgramFolder() {
  const Text path = ModulePath();
  const size_t cut = path.find_last_of(u'\\');
  if (cut == Text::npos) return {};
  // A drive's root keeps its separator ("C:\"), any other folder loses it.
  return cut == 2 && path[1] == u':' ? path.substr(0, 3) : path.substr(0, cut);
}

Text Form1Window::ProgramFileName() {
  const Text path = ModulePath();
  const size_t slash = path.find_last_of(u'\\');
  Text name = slash == Text::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(u'.');
  return dot == Text::npos ? name : name.substr(0, dot);
}

// --- FadeTarget ----------------------------------------------------------------------------

void Form1Window::SetWindowEnabled(bool enabled) { EnableWindow(window_, enabled); }

void Form1Window::SetLayeredStyle(bool layered) {
  const LONG style = GetWindowLongA(window_, GWL_EXSTYLE);
  SetWindowLongA(window_, GWL_EXSTYLE, layered ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED));
}

void Form1Window::SetLayeredOpacity(uint8_t opacity) {
  SetLayeredWindowAttributes(window_, 0, opacity, LWA_ALPHA);
}

void Form1Window::ShowMainWindow() {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

// --- MainWindowView ---------------------------------------------------------------------------

void Form1Window::SetStatusText(TextView text) { SetText(kLabel7, text); }
void Form1Window::SetTreatedCountText(TextView text) { SetText(kLabel6, text); }

Text Form1Window::IndicatorText() {
  HWND label = Control(kLabel5);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  const int length = GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return FromWide(text);
}

void Form1Window::SetIndicatorText(TextView text) { SetText(kLabel5, text); }

void Form1Window::ShowMessage(TextView text, TextView title, MessageIcon icon) {
  MessageBoxW(window_, ToWide(text).c_str(), ToWide(title).c_str(), MB_OK | static_cast<UINT>(icon));
}

void Form1Window::Delay(float seconds) { zc::Delay(seconds, pump_); }

void Form1Window::EndProgram() {
  // Ends at once, from whatever handler asks, as the program's end statement does.
  ExitProcess(0);
}

void Form1Window::SetText(int id, TextView text) { SetWindowTextW(Control(id), ToWide(text).c_str()); }

}  // namespace zc::win
