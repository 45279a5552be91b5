#pragma once
// The restore window: the treatments recorded under the backup root with a "복원"
// button that restores the chosen one's backup folder. Its window procedure only
// forwards the button's click and the closing; the logic is the core's RestoreList.

#include <windows.h>

#include "core/restore/restore_list.h"
#include "win32/machine/win32_elevation.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

class RestoreWindow {
 public:
  RestoreWindow(const ConstantTexts& texts, RestoreList& list) : texts_(texts), list_(list) {}
  ~RestoreWindow();
  RestoreWindow(const RestoreWindow&) = delete;
  RestoreWindow& operator=(const RestoreWindow&) = delete;

  // Shows the window (creating it the first time) with a freshly read list.
  void Open(HWND owner);
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool Create(HWND owner);
  void Fill();
  void OnRestoreClicked();

  const ConstantTexts& texts_;
  RestoreList& list_;
  Win32Elevation elevation_;  // a restore needs an administrator's token
  HWND window_ = nullptr;
  HWND listView_ = nullptr;
  UniqueFont font_;
};

}  // namespace zc::win
