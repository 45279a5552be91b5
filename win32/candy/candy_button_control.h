#pragma once
// The state behind one candy button window: the core model and interaction, the GDI
// drawing of caption and pictures, the raster's screen copy, the window shape, the leave
// notification and the interception of the window's own messages. The window procedure
// only turns messages into calls of this object.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/candy/candy_button.h"
#include "core/candy/candy_interaction.h"
#include "win32/candy/gdi_candy_surface.h"
#include "win32/candy/hook_failure_box.h"
#include "win32/candy/leave_notifier.h"
#include "win32/candy/window_hook.h"

namespace zc::win {

class CandyButtonControl : public candy::CandyHost, public HookCallback {
 public:
  explicit CandyButtonControl(candy::HookFailureSink* hookFailures);
  ~CandyButtonControl() override;

  // Binds the control to its window (from WM_NCCREATE) and lets go of it (WM_NCDESTROY).
  void Attach(HWND window) { window_ = window; }
  void Detach();
  HWND Window() const { return window_; }
  // A small icon drawn over the button's left end (not owned); null for none.
  void SetBadge(HICON badge);

  // The window procedure's work for one message; false to let DefWindowProc run.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  candy::CandyButton& Model() { return model_; }
  candy::CandyInteraction& Interaction() { return interaction_; }

  std::function<void()> clickHandler;
  std::function<void(const candy::CandyEvent&)> eventHandler;

  // candy::CandyHost
  void PropertyChanged(std::string_view name) override;
  void Refresh(const candy::Raster& raster) override;
  void SetWindowShape(const candy::PixelMask* shape) override;
  std::optional<candy::Color> ParentBackground() override;
  void SetHandPointer(bool hand) override;
  void StartHoverTracking() override;
  void RequestLeaveNotification() override;
  void RaiseEvent(const candy::CandyEvent& event) override;

  // HookCallback
  void OnHookedMessage(bool before, bool& handled, LRESULT& result, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam, LONG_PTR& userValue) override;

 private:
  void Paint();
  void Blit(HDC dc);
  void ButtonDown(int16_t button, WPARAM wParam, LPARAM lParam);
  void ButtonUp(int16_t button, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HICON badge_ = nullptr;
  HookFailureBox defaultFailures_;
  candy::HookFailureSink& failures_;
  GdiCandySurface surface_;
  GdiSystemColors systemColors_;
  candy::CandyButton model_;
  candy::CandyInteraction interaction_;
  WindowHook hook_;
  LeaveNotifier leave_;
  std::vector<uint32_t> screenPixels_;  // the raster in the DIB layout
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  std::vector<candy::PixelMask::Span> appliedShape_;
  bool shapeApplied_ = false;
  bool handPointer_ = false;
  bool leftPressedInside_ = false;  // a left press began on the button: its release may click
};

}  // namespace zc::win
