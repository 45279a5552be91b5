#pragma once
// The main window as the treatment pass sees it, for tests on the real machine layer.

#include <windows.h>

#include <vector>

#include "core/platform/main_window_view.h"

namespace zc::win {

// The main window's slice, without its waits: each second of Delay is a tenth here,
// enough for a process ended by the task-kill tool to release its image file.
class QuickWindow final : public MainWindowView {
 public:
  std::vector<Text> statusTexts;
  std::vector<Text> messages;
  Text countText;
  bool ended = false;

  void SetStatusText(TextView text) override { statusTexts.emplace_back(text); }
  void SetTreatedCountText(TextView text) override { countText = Text(text); }
  Text IndicatorText() override { return {}; }
  void SetIndicatorText(TextView) override {}
  void ShowMessage(TextView text, TextView, MessageIcon) override { messages.emplace_back(text); }
  void Delay(float seconds) override { ::Sleep(static_cast<DWORD>(seconds * 100)); }
  void EndProgram() override { ended = true; }
};

}  // namespace zc::win
