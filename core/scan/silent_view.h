#pragma once
// The treatment pass's view in a run without a window: no labels, no message boxes.
// What the pass would have shown is kept for the run's output; its waits still wait
// (a process needs its time to end before its file is taken).

#include <functional>
#include <vector>

#include "core/platform/main_window_view.h"

namespace zc {

class SilentView : public MainWindowView {
 public:
  // `pause`: waits the given seconds.
  explicit SilentView(std::function<void(float)> pause) : pause_(std::move(pause)) {}

  void SetStatusText(TextView) override {}
  void SetTreatedCountText(TextView) override {}
  Text IndicatorText() override { return {}; }
  void SetIndicatorText(TextView) override {}
  void ShowMessage(TextView text, TextView, MessageIcon) override { messages_.emplace_back(text); }
  void Delay(float seconds) override {
    if (pause_) pause_(seconds);
  }
  void EndProgram() override { ended_ = true; }

  const std::vector<Text>& Messages() const { return messages_; }
  // The pass stopped the run (it may not manage services).
  bool Ended() const { return ended_; }

 private:
  std::function<void(float)> pause_;
  std::vector<Text> messages_;
  bool ended_ = false;
};

}  // namespace zc
