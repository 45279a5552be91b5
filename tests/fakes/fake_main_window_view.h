#pragma once
// Records what the core shows: every status text in order, the count label, the
// indicator, the message boxes and the time spent in Delay. `onMessage` runs while a
// message box is "open" (the place where nested handlers would run).

#include <functional>
#include <vector>

#include "core/base/rounding.h"
#include "core/platform/main_window_view.h"

namespace zc::fakes {

class FakeMainWindowView : public MainWindowView {
 public:
  struct Message {
    Text text;
    Text title;
    MessageIcon icon;
  };

  std::vector<Text> statusTexts;
  Text treatedCountText = u"0건";
  Text indicatorText;
  std::vector<Message> messages;
  std::vector<float> delays;
  long long delayedSeconds = 0;
  bool ended = false;
  std::function<void(const Message&)> onMessage;
  std::function<void()> onDelay;

  void SetStatusText(TextView text) override { statusTexts.emplace_back(text); }
  void SetTreatedCountText(TextView text) override { treatedCountText = Text(text); }
  Text IndicatorText() override { return indicatorText; }
  void SetIndicatorText(TextView text) override { indicatorText = Text(text); }
  void ShowMessage(TextView text, TextView title, MessageIcon icon) override {
    messages.push_back({Text(text), Text(title), icon});
    if (onMessage) onMessage(messages.back());
  }
  void Delay(float seconds) override {
    delays.push_back(seconds);
    const long long n = RoundHalfEven(seconds);
    if (n > 0) delayedSeconds += n;
    if (onDelay) onDelay();
  }
  void EndProgram() override { ended = true; }

  Text LastStatus() const { return statusTexts.empty() ? Text() : statusTexts.back(); }
};

}  // namespace zc::fakes
