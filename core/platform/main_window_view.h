#pragma once
// The slice of the main window that the checks, the treatment pass and the timers
// touch: its labels, its modal message boxes, `Delay` and the program's end.

#include "core/base/text.h"

namespace zc {

enum class MessageIcon : int {
  Critical = 16,
  Information = 64,
};

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  virtual void SetStatusText(TextView text) = 0;        // Label7
  virtual void SetTreatedCountText(TextView text) = 0;  // Label6
  virtual Text IndicatorText() = 0;                     // Label5
  virtual void SetIndicatorText(TextView text) = 0;

  // Shows a modal message box and returns when the user has closed it.
  virtual void ShowMessage(TextView text, TextView title, MessageIcon icon) = 0;

  // Waits `seconds` rounded to a whole number (halves to even), processing pending
  // window events before each one-second sleep.
  virtual void Delay(float seconds) = 0;

  // Ends the program. The caller returns at once afterwards and does nothing more.
  virtual void EndProgram() = 0;
};

}  // namespace zc
