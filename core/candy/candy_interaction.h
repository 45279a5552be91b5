#pragma once
// How the candy button reacts to the pointer, the keyboard and the focus. Two kinds of
// input arrive here: the host's ordinary notifications (button down/up, move, click,
// double click, keys, focus, resize/show) and the three messages intercepted on the
// button's own window (paint before the window's handling; pointer move and pointer
// leave after it). Each reaction repaints the button in a visual state and raises events
// through the host.

#include <cstdint>

#include "core/candy/candy_button.h"

namespace zc::candy {

inline constexpr int kEnterKey = 13;
inline constexpr int16_t kLeftButton = 1;

class CandyInteraction {
 public:
  explicit CandyInteraction(CandyButton& button) : button_(button) {}

  // Whether a leave notification exists; decided once when the values are loaded in user
  // mode. Without it the intercepted messages are never delivered and hover never shows.
  void SetTrackingAvailable(bool available) { trackingAvailable_ = available; }
  bool TrackingAvailable() const { return trackingAvailable_; }

  // --- intercepted messages ---------------------------------------------------------
  void OnPaintMessage();
  // `keyState` is the message's first parameter (the held buttons and keys), `position`
  // its second: x in the low 16 bits, y in the high 16 bits, both signed.
  void OnPointerMoveMessage(uint64_t keyState, int64_t position);
  void OnPointerLeaveMessage();

  // --- host notifications -----------------------------------------------------------
  void OnButtonDown(int16_t button, int16_t shift, float x, float y);
  void OnMove(int16_t button, int16_t shift, float x, float y);
  void OnButtonUp(int16_t button, int16_t shift, float x, float y);
  void OnClick();
  void OnDoubleClick();
  void OnKeyDown(int keyCode);
  void OnKeyUp(int keyCode);
  void OnFocusEnter();
  void OnFocusExit();
  void OnResizeOrShow();

 private:
  void Raise(CandyEventKind kind, int16_t button = 0, int16_t shift = 0, float x = 0, float y = 0);
  bool Enabled() const { return button_.Properties().enabled; }
  bool Checked() const { return button_.Properties().checked; }

  CandyButton& button_;
  bool trackingAvailable_ = false;
};

}  // namespace zc::candy
