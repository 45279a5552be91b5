#pragma once
// Per-window message interception: the window's procedure is replaced by one that hands
// chosen messages to a callback before the original procedure (the before table) and
// after it (the after table), and passes everything else through unchanged. Each table
// holds up to 32 message numbers, or "all messages" (kAllMessages). Refused operations
// are reported to a HookFailureSink and then do nothing further.
//
// The record of an intercepted window is found through a window property, so several
// hooks and windows need no shared state.

#include <windows.h>

#include <memory>
#include <vector>

#include "core/candy/hook_failure.h"

namespace zc::win {

class HookCallback {
 public:
  virtual ~HookCallback() = default;
  // `before` is true before the original procedure. Setting `handled` before it skips
  // the original procedure; `result` is what the window procedure returns.
  virtual void OnHookedMessage(bool before, bool& handled, LRESULT& result, HWND window, UINT message,
                               WPARAM wParam, LPARAM lParam, LONG_PTR& userValue) = 0;
};

class WindowHook {
 public:
  static constexpr int kAllMessages = -1;
  static constexpr int kMaxMessages = 32;
  enum When : int { kBefore = 1, kAfter = 2, kBoth = 3 };

  explicit WindowHook(candy::HookFailureSink& failures) : failures_(failures) {}
  ~WindowHook() { StopAll(); }
  WindowHook(const WindowHook&) = delete;
  WindowHook& operator=(const WindowHook&) = delete;

  bool Start(HWND window, HookCallback* callback);
  void AddMessage(HWND window, int message, int when);
  void DeleteMessage(HWND window, int message, int when);
  bool Stop(HWND window);
  void StopAll();
  LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool Intercepts(HWND window) const;

 private:
  struct Table {
    bool all = false;
    std::vector<UINT> messages;
    bool Matches(UINT message) const;
  };
  struct Record {
    HWND window = nullptr;
    WNDPROC original = nullptr;
    HookCallback* callback = nullptr;
    Table before;
    Table after;
    LONG_PTR userValue = 0;
  };

  static LRESULT CALLBACK HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Record* Find(HWND window, bool report);
  void Fail(candy::HookOperation operation, candy::HookError error, uint32_t detail = 0);
  void AddTo(Table& table, int message);
  void DeleteFrom(Table& table, int message);
  void Restore(Record& record);

  candy::HookFailureSink& failures_;
  std::vector<std::unique_ptr<Record>> records_;
};

}  // namespace zc::win
