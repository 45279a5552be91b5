#include "core/candy/candy_interaction.h"

namespace zc::candy {

void CandyInteraction::Raise(CandyEventKind kind, int16_t button, int16_t shift, float x, float y) {
  button_.Host().RaiseEvent({kind, button, shift, x, y});
}

void CandyInteraction::OnPaintMessage() {
  if (!trackingAvailable_) return;
  button_.ApplyShape();
}

void CandyInteraction::OnPointerMoveMessage(uint64_t keyState, int64_t position) {
  if (!trackingAvailable_) return;
  // A move with only the left button held is a drag from elsewhere: it never sets hover.
  if (keyState == 1 || button_.Hover()) return;
  const auto x = static_cast<int16_t>(position & 0xFFFF);
  const auto y = static_cast<int16_t>((position >> 16) & 0xFFFF);
  // The border column and row (x = 0, y = 0) do not count as inside.
  if (!(0 < x && x < button_.Width() && 0 < y && y < button_.Height())) return;
  button_.SetHover(true);
  button_.Host().RequestLeaveNotification();
  Raise(CandyEventKind::MouseEnter);
  button_.Redraw(VisualState::Hover);
}

void CandyInteraction::OnPointerLeaveMessage() {
  if (!trackingAvailable_) return;
  button_.SetHover(false);
  Raise(CandyEventKind::MouseLeave);
  if (Checked()) return;
  button_.Redraw(button_.Focus() ? VisualState::Focused : VisualState::Up);
}

void CandyInteraction::OnButtonDown(int16_t button, int16_t shift, float x, float y) {
  if (!Enabled()) return;
  button_.SetFocus(true);
  button_.Redraw(VisualState::Down);
  Raise(CandyEventKind::MouseDown, button, shift, x, y);
}

void CandyInteraction::OnMove(int16_t button, int16_t shift, float x, float y) {
  if (!Enabled()) return;
  Raise(CandyEventKind::MouseMove, button, shift, x, y);
  const bool outside = x < 0 || x > button_.Width() || y < 0 || y > button_.Height();
  if (button == kLeftButton && outside) {
    button_.SetHover(false);
    button_.Redraw(VisualState::Up);
  }
}

void CandyInteraction::OnButtonUp(int16_t button, int16_t shift, float x, float y) {
  if (!Enabled()) return;
  if (!Checked()) {
    if (button_.Hover()) button_.Redraw(VisualState::Hover);
    else if (button_.Focus()) button_.Redraw(VisualState::Focused);
  }
  Raise(CandyEventKind::MouseUp, button, shift, x, y);
}

void CandyInteraction::OnClick() {
  if (Enabled()) Raise(CandyEventKind::Click);
}

void CandyInteraction::OnDoubleClick() {
  if (!Enabled()) return;
  button_.Redraw(VisualState::Down);
  Raise(CandyEventKind::DblClick);
}

void CandyInteraction::OnKeyDown(int keyCode) {
  if (!Enabled() || keyCode != kEnterKey) return;
  OnButtonDown(kLeftButton, 0, 0, 0);
}

void CandyInteraction::OnKeyUp(int keyCode) {
  if (!Enabled() || keyCode != kEnterKey) return;
  OnButtonUp(kLeftButton, 0, 0, 0);
  Raise(CandyEventKind::Click);
}

void CandyInteraction::OnFocusEnter() {
  button_.SetFocus(true);
  if (Enabled() && !Checked() && !button_.Hover()) button_.Redraw(VisualState::Focused);
}

void CandyInteraction::OnFocusExit() {
  button_.SetFocus(false);
  if (Enabled() && !Checked()) button_.Redraw(VisualState::Up);
}

void CandyInteraction::OnResizeOrShow() {
  button_.ApplyShape();
  button_.Redraw(VisualState::Up);
}

}  // namespace zc::candy
