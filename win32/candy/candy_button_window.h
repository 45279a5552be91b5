#pragma once
// The candy button as a Win32 child window.
//
//   zc::win::RegisterCandyButtonClass(instance);               // once (repeat calls are harmless)
//   auto treat = zc::win::CreateCandyButton(mainWindow, kTreatId, zc::candy::TreatButtonValues());
//   treat->SetClickHandler([&] { OnTreatClicked(); });        // or handle WM_COMMAND below
//   treat->SetEnabled(false);                                  // greyed look, ignores input
//
// A click (left button pressed and released over the button, or Enter released while it
// has the focus) calls the click handler and then sends the parent
// WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), (LPARAM)buttonWindow), both while the button is
// enabled. Handle one of the two, not both. The returned owner destroys the window; keep
// it as long as the parent lives (or destroy the parent first: the owner then does
// nothing more).

#include <windows.h>

#include <functional>
#include <memory>

#include "core/candy/candy_button.h"
#include "core/candy/candy_button_values.h"
#include "core/candy/candy_interaction.h"
#include "core/candy/hook_failure.h"

namespace zc::win {

// The window class name of the candy button.
inline constexpr wchar_t kCandyButtonClass[] = L"ZcCandyButton";

// Registers the window class in `instance`. True when it is registered (now or before).
bool RegisterCandyButtonClass(HINSTANCE instance);

class CandyButtonControl;  // the window's state: model, interaction, raster, hook

struct CandyButtonOptions {
  // Where failures of the message interception go; nothing shows a warning box and
  // writes an application event-log entry.
  candy::HookFailureSink* hookFailures = nullptr;
};

class CandyButtonWindow {
 public:
  ~CandyButtonWindow();
  CandyButtonWindow(const CandyButtonWindow&) = delete;
  CandyButtonWindow& operator=(const CandyButtonWindow&) = delete;

  HWND Handle() const;
  int Id() const;

  // The Enabled property: a disabled button paints greyed and ignores presses, moves,
  // clicks and keys (it still shows focus and raises MouseEnter / MouseLeave).
  void SetEnabled(bool enabled);
  bool Enabled() const;

  // A small icon drawn over the button's left end, such as the system's shield; null for
  // none. The caller keeps the icon alive while it is set.
  void SetBadge(HICON badge);

  // Called on Click.
  void SetClickHandler(std::function<void()> handler);
  // Called for every raised event (Click, DblClick, MouseEnter, MouseLeave, MouseMove,
  // MouseUp, MouseDown), before the click handler.
  void SetEventHandler(std::function<void(const candy::CandyEvent&)> handler);

  // The model behind the window, for the other properties (Caption, Style, Checked, ...).
  candy::CandyButton& Model();
  candy::CandyInteraction& Interaction();

  // Made by CreateCandyButton.
  explicit CandyButtonWindow(std::unique_ptr<CandyButtonControl> control);

 private:
  std::unique_ptr<CandyButtonControl> control_;
};

// Creates a visible candy button as a child of `parent` with control id `id`, placed and
// sized by `values` (left, top, width, height in the parent's client pixels), loading
// the other values as stored properties. Registers the class in the parent's module when
// needed. Nothing when the window cannot be created.
std::unique_ptr<CandyButtonWindow> CreateCandyButton(HWND parent, int id, const candy::CandyButtonValues& values,
                                                     const CandyButtonOptions& options = {});

// The same at an explicit place and size (parent client pixels).
std::unique_ptr<CandyButtonWindow> CreateCandyButton(HWND parent, int id, int x, int y, int width, int height,
                                                     const candy::CandyButtonValues& values,
                                                     const CandyButtonOptions& options = {});

}  // namespace zc::win
