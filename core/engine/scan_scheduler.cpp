#include "core/engine/scan_scheduler.h"

namespace zc {
namespace {

constexpr char16_t kIndicatorSquare = u'\u25A0';  // ■
constexpr size_t kIndicatorSquares = 11;

// A failing step of a tick is passed over, so the tick always gets to start its timer
// again.
template <typename Step>
void Attempt(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void ScanScheduler::Timer1_Timer() {
  timers_.StopTimer(TimerId::Timer1);
  Attempt([this] { registryCheck_.Run(); });
  timers_.StartTimer(TimerId::Timer1);
}

void ScanScheduler::Timer2_Timer() {
  timers_.StopTimer(TimerId::Timer2);
  // The indicator cycles through 0 to 11 squares.
  Attempt([this] {
    Text indicator = view_.IndicatorText();
    if (indicator.size() < kIndicatorSquares) {
      indicator.push_back(kIndicatorSquare);
    } else {
      indicator.clear();
    }
    view_.SetIndicatorText(indicator);
  });
  Attempt([this] { serviceCheck_.Run(); });
  timers_.StartTimer(TimerId::Timer2);
}

bool ScanScheduler::WatchedWindowOpen() {
  // Both searches always run.
  const bool first = titleSearch_.FindWindowByTitle(texts_.Get(enc::WatchedWindowTitle1)) != 0;
  const bool second = titleSearch_.FindWindowByTitle(texts_.Get(enc::WatchedWindowTitle2)) != 0;
  return first || second;
}

void ScanScheduler::TmrChk_Timer() {
  timers_.StopTimer(TimerId::TmrChk);
  Attempt([this] {
    if (WatchedWindowOpen()) {
      view_.ShowMessage(texts_.Get(enc::WatchedWindowNotice1) + u"\r\n" + texts_.Get(enc::WatchedWindowNotice2),
                        texts_.Get(enc::MessageTitle), MessageIcon::Information);
      if (check2Click_) check2Click_();
    } else {
      connectionScan_.ScanConnections();
    }
  });
  timers_.StartTimer(TimerId::TmrChk);
}

}  // namespace zc
