#pragma once
// The restore window: the treatments recorded under the backup root with a "복원"
// button that restores the chosen one's backup folder. Its window procedure only
// forwards the button's click, the closing and the end of a catalog read; the logic is
// the core's RestoreList. The catalog (every record under the backup root) is read on a
// thread of its own, so a root full of records never freezes the window.

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/restore/restore_list.h"
#include "win32/machine/win32_elevation.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

class RestoreWindow {
 public:
  // `ownRoot`: the running account's own store, listed beside the machine's and restored
  // without elevation; empty for an elevated copy.
  RestoreWindow(const ConstantTexts& texts, RestoreList& list, Text ownRoot = {})
      : texts_(texts), list_(list), ownRoot_(std::move(ownRoot)) {}
  ~RestoreWindow();
  RestoreWindow(const RestoreWindow&) = delete;
  RestoreWindow& operator=(const RestoreWindow&) = delete;

  // Shows the window (creating it the first time) with a freshly read list: filled at
  // once when the catalog reads quickly, else as soon as it has been read.
  void Open(HWND owner);
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool Create(HWND owner);
  void Fill();
  void OnRestoreClicked();
  // Starts reading the catalog (or notes that it must be read again when a read is
  // under way); TakeReadRows shows what a finished read found.
  void ReadCatalog();
  bool TakeReadRows();

  const ConstantTexts& texts_;
  RestoreList& list_;
  const Text ownRoot_;
  Win32Elevation elevation_;  // a restore needs an administrator's token
  HWND window_ = nullptr;
  HWND listView_ = nullptr;
  UniqueFont font_;

  std::thread reader_;
  std::mutex readMutex_;
  std::condition_variable readDone_;
  std::optional<std::vector<CatalogRow>> readRows_;  // guarded by readMutex_
  bool reading_ = false;
  bool readAgain_ = false;
};

}  // namespace zc::win
