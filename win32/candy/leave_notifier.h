#pragma once
// The platform's leave notification: "TrackMouseEvent" of "User32", else
// "_TrackMouseEvent" of "Comctl32". A library already loaded in the process is used as
// it is; one that has to be loaded for the lookup stays loaded while the function may be
// called (freeing it would leave the function pointer dangling).

#include <windows.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

class LeaveNotifier {
 public:
  enum class Source { None, User32, CommonControls };

  // Looks the function up once.
  static LeaveNotifier Find();

  bool Available() const { return function_ != nullptr; }
  Source From() const { return source_; }

  // Asks for one WM_MOUSELEAVE when the pointer leaves `window`. False when no
  // notification exists or the platform refuses.
  bool Request(HWND window) const;

 private:
  using TrackFunction = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
  TrackFunction function_ = nullptr;
  Source source_ = Source::None;
  UniqueModule loaded_;  // only a library this lookup had to load
};

}  // namespace zc::win
