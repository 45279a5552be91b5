#include "win32/candy/candy_button_control.h"

#include <windowsx.h>

#include "win32/candy/raster_dib.h"
#include "win32/candy/window_region.h"

namespace zc::win {
namespace {

// The Shift argument of the pointer events: 1 shift, 2 control, 4 alt.
int16_t ShiftState(WPARAM keyState) {
  int16_t shift = 0;
  if (keyState & MK_SHIFT) shift |= 1;
  if (keyState & MK_CONTROL) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

// The Button argument of a move: the held buttons, 1 left, 2 right, 4 middle.
int16_t HeldButtons(WPARAM keyState) {
  int16_t buttons = 0;
  if (keyState & MK_LBUTTON) buttons |= 1;
  if (keyState & MK_RBUTTON) buttons |= 2;
  if (keyState & MK_MBUTTON) buttons |= 4;
  return buttons;
}

float X(LPARAM lParam) { return static_cast<float>(GET_X_LPARAM(lParam)); }
float Y(LPARAM lParam) { return static_cast<float>(GET_Y_LPARAM(lParam)); }

}  // namespace

CandyButtonControl::CandyButtonControl(candy::HookFailureSink* hookFailures)
    : failures_(hookFailures != nullptr ? *hookFailures : defaultFailures_),
      model_(*this, surface_, systemColors_),
      interaction_(model_),
      hook_(failures_) {}

CandyButtonControl::~CandyButtonControl() { hook_.StopAll(); }

void CandyButtonControl::Detach() {
  hook_.StopAll();
  window_ = nullptr;
}

bool CandyButtonControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_PAINT:
      Paint();
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_SIZE:
      model_.SetSize(LOWORD(lParam), HIWORD(lParam));
      if (model_.Ready()) interaction_.OnResizeOrShow();
      return true;
    case WM_SHOWWINDOW:
      if (wParam && model_.Ready()) interaction_.OnResizeOrShow();
      return false;
    case WM_LBUTTONDOWN:
      ButtonDown(1, wParam, lParam);
      return true;
    case WM_RBUTTONDOWN:
      ButtonDown(2, wParam, lParam);
      return true;
    case WM_MBUTTONDOWN:
      ButtonDown(4, wParam, lParam);
      return true;
    case WM_LBUTTONUP:
      ButtonUp(1, wParam, lParam);
      return true;
    case WM_RBUTTONUP:
      ButtonUp(2, wParam, lParam);
      return true;
    case WM_MBUTTONUP:
      ButtonUp(4, wParam, lParam);
      return true;
    case WM_LBUTTONDBLCLK:
      leftPressedInside_ = false;
      interaction_.OnDoubleClick();
      return true;
    case WM_MOUSEMOVE:
      interaction_.OnMove(HeldButtons(wParam), ShiftState(wParam), X(lParam), Y(lParam));
      return true;
    case WM_KEYDOWN:
      interaction_.OnKeyDown(static_cast<int>(wParam));
      return true;
    case WM_KEYUP:
      interaction_.OnKeyUp(static_cast<int>(wParam));
      return true;
    case WM_GETDLGCODE: {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg != nullptr && msg->wParam == VK_RETURN) {
        result = DLGC_WANTMESSAGE;
        return true;
      }
      return false;
    }
    case WM_SETFOCUS:
      interaction_.OnFocusEnter();
      return true;
    case WM_KILLFOCUS:
      interaction_.OnFocusExit();
      return true;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) return false;
      ::SetCursor(::LoadCursorA(nullptr, handPointer_ ? IDC_HAND : IDC_ARROW));
      result = TRUE;
      return true;
    case WM_DESTROY:
      hook_.StopAll();
      return false;
    default:
      return false;
  }
}

void CandyButtonControl::ButtonDown(int16_t button, WPARAM wParam, LPARAM lParam) {
  if (model_.Properties().enabled && ::GetFocus() != window_) ::SetFocus(window_);
  ::SetCapture(window_);
  if (button == 1) leftPressedInside_ = true;
  interaction_.OnButtonDown(button, ShiftState(wParam), X(lParam), Y(lParam));
}

void CandyButtonControl::ButtonUp(int16_t button, WPARAM wParam, LPARAM lParam) {
  if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == window_) ::ReleaseCapture();
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  const bool clicks = button == 1 && leftPressedInside_ && x >= 0 && y >= 0 && x < model_.Width() &&
                      y < model_.Height();
  if (button == 1) leftPressedInside_ = false;
  interaction_.OnButtonUp(button, ShiftState(wParam), static_cast<float>(x), static_cast<float>(y));
  if (clicks) interaction_.OnClick();
}

void CandyButtonControl::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(window_, &paint);
  if (dc != nullptr) Blit(dc);
  ::EndPaint(window_, &paint);
}

void CandyButtonControl::Blit(HDC dc) {
  if (screenPixels_.empty()) return;
  const BITMAPINFO info = DibHeader(screenWidth_, screenHeight_);
  ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(screenWidth_), static_cast<DWORD>(screenHeight_), 0, 0, 0,
                      static_cast<UINT>(screenHeight_), screenPixels_.data(), &info, DIB_RGB_COLORS);
  if (badge_ != nullptr) {
    // The badge sits at the left end, centred on the caption's line.
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    const int top = (screenHeight_ - size) / 2;
    ::DrawIconEx(dc, size / 2, top > 0 ? top : 0, badge_, size, size, 0, nullptr, DI_NORMAL);
  }
}

void CandyButtonControl::SetBadge(HICON badge) {
  badge_ = badge;
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
}

void CandyButtonControl::PropertyChanged(std::string_view) {}

void CandyButtonControl::Refresh(const candy::Raster& raster) {
  screenPixels_ = ToDibPixels(raster);
  screenWidth_ = raster.Width();
  screenHeight_ = raster.Height();
  if (window_ == nullptr) return;
  if (HDC dc = ::GetDC(window_)) {
    Blit(dc);
    ::ReleaseDC(window_, dc);
  }
}

void CandyButtonControl::SetWindowShape(const candy::PixelMask* shape) {
  if (window_ == nullptr) return;
  if (shape == nullptr) {
    if (shapeApplied_) ::SetWindowRgn(window_, nullptr, TRUE);
    shapeApplied_ = false;
    appliedShape_.clear();
    return;
  }
  auto spans = shape->Spans();
  const auto same = [](const auto& a, const auto& b) { return a.y == b.y && a.left == b.left && a.right == b.right; };
  if (shapeApplied_ && std::equal(spans.begin(), spans.end(), appliedShape_.begin(), appliedShape_.end(), same))
    return;  // unchanged: setting it again would only repaint
  UniqueRegion region = RegionFromMask(*shape);
  if (!region) return;
  // The window owns the region once it is set.
  if (::SetWindowRgn(window_, region.get(), TRUE) != 0) {
    region.release();
    appliedShape_ = std::move(spans);
    shapeApplied_ = true;
  }
}

std::optional<candy::Color> CandyButtonControl::ParentBackground() {
  HWND parent = window_ != nullptr ? ::GetParent(window_) : nullptr;
  if (parent == nullptr) return std::nullopt;
  const auto brush = static_cast<ULONG_PTR>(::GetClassLongPtrW(parent, GCLP_HBRBACKGROUND));
  if (brush == 0) return std::nullopt;
  if (brush <= COLOR_MENUBAR + 1) return static_cast<candy::Color>(::GetSysColor(static_cast<int>(brush - 1)));
  LOGBRUSH info{};
  if (::GetObjectW(reinterpret_cast<HGDIOBJ>(brush), sizeof(info), &info) == 0 || info.lbStyle != BS_SOLID)
    return std::nullopt;
  return static_cast<candy::Color>(info.lbColor);
}

void CandyButtonControl::SetHandPointer(bool hand) { handPointer_ = hand; }

void CandyButtonControl::StartHoverTracking() {
  leave_ = LeaveNotifier::Find();
  if (!leave_.Available() || window_ == nullptr) return;
  if (!hook_.Start(window_, this)) return;
  hook_.AddMessage(window_, WM_PAINT, WindowHook::kBefore);
  hook_.AddMessage(window_, WM_MOUSEMOVE, WindowHook::kAfter);
  hook_.AddMessage(window_, WM_MOUSELEAVE, WindowHook::kAfter);
  interaction_.SetTrackingAvailable(true);
}

void CandyButtonControl::RequestLeaveNotification() {
  if (window_ != nullptr) leave_.Request(window_);
}

void CandyButtonControl::RaiseEvent(const candy::CandyEvent& event) {
  if (eventHandler) eventHandler(event);
  if (event.kind != candy::CandyEventKind::Click) return;
  if (clickHandler) clickHandler();
  if (window_ != nullptr) {
    const HWND window = window_;
    const int id = ::GetDlgCtrlID(window);
    if (HWND parent = ::GetParent(window))
      ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
  }
}

void CandyButtonControl::OnHookedMessage(bool before, bool&, LRESULT&, HWND, UINT message, WPARAM wParam,
                                         LPARAM lParam, LONG_PTR&) {
  if (before && message == WM_PAINT) {
    interaction_.OnPaintMessage();
  } else if (!before && message == WM_MOUSEMOVE) {
    interaction_.OnPointerMoveMessage(static_cast<uint64_t>(wParam), static_cast<int64_t>(lParam));
  } else if (!before && message == WM_MOUSELEAVE) {
    interaction_.OnPointerLeaveMessage();
  }
}

}  // namespace zc::win
