// The candy button window hosted like on the main window: its shape and picture, the
// interaction sequences replayed with real window messages, and repaints that leave the
// memory flat.
#include "win32/candy/candy_button_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "core/candy/main_window_buttons.h"
#include "tests/win32/candy/candy_test_window.h"

namespace zc::win {
namespace {

using candy::CandyEventKind;
using K = CandyEventKind;
using S = candy::VisualState;
using testing::Pump;

constexpr int kTreatId = 101;
constexpr int kTrayId = 102;

struct Hosted {
  int clicks = 0;
  UniqueWindow host;
  std::unique_ptr<CandyButtonWindow> treat;
  std::unique_ptr<CandyButtonWindow> tray;
  std::vector<candy::CandyEvent> events;

  Hosted() {
    ::SetCursorPos(5, 5);  // the real pointer stays off the buttons unless a test moves it
    host = testing::CreateHostWindow(L"candy test host", &clicks);
    treat = CreateCandyButton(host.get(), kTreatId, candy::TreatButtonValues());
    tray = CreateCandyButton(host.get(), kTrayId, candy::TrayButtonValues());
    if (treat) treat->SetEventHandler([this](const candy::CandyEvent& e) { events.push_back(e); });
    Pump(100);
  }
  ~Hosted() {
    treat.reset();
    tray.reset();
  }
};

TEST(CandyButtonWindow, MainWindowButtonsAreShapedAndPainted) {
  Hosted hosted;
  ASSERT_TRUE(hosted.treat && hosted.tray);
  EXPECT_EQ(::GetDlgCtrlID(hosted.treat->Handle()), kTreatId);
  RECT place{};
  ::GetWindowRect(hosted.treat->Handle(), &place);
  ::MapWindowPoints(nullptr, hosted.host.get(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 456);
  EXPECT_EQ(place.top, 280);
  EXPECT_EQ(place.right - place.left, 129);
  EXPECT_EQ(place.bottom - place.top, 41);

  for (auto* button : {hosted.treat.get(), hosted.tray.get()}) {
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(button->Handle(), region.get()), ERROR);
    const auto& model = button->Model();
    EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(region.get(), 0, model.Height() / 2));
    EXPECT_TRUE(::PtInRegion(region.get(), model.Width() / 2, model.Height() / 2));
    EXPECT_EQ(model.LastPainted(), S::Up);
  }
  EXPECT_EQ(hosted.treat->Model().CornerRadius(), 12);
  EXPECT_EQ(hosted.tray->Model().CornerRadius(), 21);

  // The caption is drawn in white onto the green face.
  const candy::Raster& face = hosted.treat->Model().Surface();
  int white = 0;
  for (int y = 10; y < 32; ++y)
    for (int x = 20; x < 110; ++x) white += face.Pixel(x, y) == candy::Rgb(255, 255, 255);
  EXPECT_GT(white, 30);
}

struct Step {
  enum Kind { Move, Down, Up, KeyDown, KeyUp, Leave, FocusButton, FocusHost, Disable } kind;
  int x = 10, y = 10;
  WPARAM keys = 0;
};

TEST(CandyButtonWindow, InteractionSequencesWithRealMessages) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::vector<K> events;
    S lastPainted;
    int clicks;
  } cases[] = {
      {"click", {{Step::Move}, {Step::Down, 10, 10, MK_LBUTTON}, {Step::Up}},
       {K::MouseMove, K::MouseEnter, K::MouseDown, K::MouseUp, K::Click}, S::Hover, 1},
      {"drag out and release outside",
       {{Step::Move}, {Step::Down, 10, 10, MK_LBUTTON}, {Step::Move, -5, 10, MK_LBUTTON}, {Step::Up, -5, 10}},
       {K::MouseMove, K::MouseEnter, K::MouseDown, K::MouseMove, K::MouseUp}, S::Focused, 0},
      {"left button alone never sets hover", {{Step::Move, 10, 10, MK_LBUTTON}}, {K::MouseMove}, S::Up, 0},
      {"border row and column are not inside", {{Step::Move, 0, 10}, {Step::Move, 10, 0}, {Step::Move, 1, 1}},
       {K::MouseMove, K::MouseMove, K::MouseMove, K::MouseEnter}, S::Hover, 0},
      {"enter held then released",
       {{Step::FocusButton}, {Step::KeyDown, VK_RETURN}, {Step::KeyDown, VK_RETURN}, {Step::KeyUp, VK_RETURN}},
       {K::MouseDown, K::MouseDown, K::MouseUp, K::Click}, S::Focused, 1},
      {"space does nothing", {{Step::FocusButton}, {Step::KeyDown, VK_SPACE}, {Step::KeyUp, VK_SPACE}}, {}, S::Focused,
       0},
      {"disabled raises only enter and leave",
       {{Step::Disable}, {Step::Move}, {Step::Down, 10, 10, MK_LBUTTON}, {Step::Up}, {Step::KeyDown, VK_RETURN},
        {Step::KeyUp, VK_RETURN}, {Step::Leave}},
       {K::MouseEnter, K::MouseLeave}, S::Up, 0},
      {"focus leaving a hovered button",
       {{Step::Move}, {Step::FocusButton}, {Step::FocusHost}, {Step::Leave}},
       {K::MouseMove, K::MouseEnter, K::MouseLeave}, S::Up, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Hosted hosted;
    ASSERT_TRUE(hosted.treat);
    const HWND button = hosted.treat->Handle();
    for (const Step& s : c.steps) {
      const LPARAM at = MAKELPARAM(static_cast<WORD>(s.x), static_cast<WORD>(s.y));
      switch (s.kind) {
        case Step::Move: ::PostMessageW(button, WM_MOUSEMOVE, s.keys, at); break;
        case Step::Down: ::PostMessageW(button, WM_LBUTTONDOWN, s.keys, at); break;
        case Step::Up: ::PostMessageW(button, WM_LBUTTONUP, s.keys, at); break;
        case Step::KeyDown: ::PostMessageW(button, WM_KEYDOWN, static_cast<WPARAM>(s.x), 1); break;
        case Step::KeyUp: ::PostMessageW(button, WM_KEYUP, static_cast<WPARAM>(s.x), 0xC0000001); break;
        case Step::Leave: ::PostMessageW(button, WM_MOUSELEAVE, 0, 0); break;
        case Step::FocusButton: ::SetFocus(button); break;
        case Step::FocusHost: ::SetFocus(hosted.host.get()); break;
        case Step::Disable: hosted.treat->SetEnabled(false); break;
      }
      Pump(20);
    }
    std::vector<K> kinds;
    for (const auto& e : hosted.events) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, c.events);
    EXPECT_EQ(hosted.treat->Model().LastPainted(), c.lastPainted);
    EXPECT_EQ(hosted.clicks, c.clicks);  // BN_CLICKED reached the parent
  }
}

TEST(CandyButtonWindow, RealPointerEntersAndLeaves) {
  Hosted hosted;
  ASSERT_TRUE(hosted.treat);
  RECT r{};
  ::GetWindowRect(hosted.treat->Handle(), &r);
  ::SetCursorPos(r.left + 30, r.top + 20);
  Pump(400);
  EXPECT_TRUE(hosted.treat->Model().Hover());
  EXPECT_EQ(hosted.treat->Model().LastPainted(), S::Hover);
  ::SetCursorPos(5, 5);  // over the host's frame, away from both buttons
  Pump(400);
  EXPECT_FALSE(hosted.treat->Model().Hover());
  EXPECT_EQ(hosted.treat->Model().LastPainted(), S::Up);
  std::vector<K> kinds;
  for (const auto& e : hosted.events)
    if (e.kind != K::MouseMove) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<K>{K::MouseEnter, K::MouseLeave}));
}

TEST(CandyButtonWindow, TenThousandRepaintsLeaveTheMemoryFlat) {
  Hosted hosted;
  ASSERT_TRUE(hosted.treat);
  candy::CandyButton& model = hosted.treat->Model();
  const auto repaint = [&](int i) {
    // Every repaint draws the caption through a fresh DIB section; every tenth also
    // changes the style, which builds and sets a new window region.
    if (i % 10 == 0) model.SetStyle(i % 20 == 0 ? candy::kPillGloss : candy::kRounded);
    else model.Redraw(i % 3 == 0 ? S::Hover : S::Down);
    if (i % 50 == 0) Pump();
  };
  for (int i = 0; i < 500; ++i) repaint(i);
  Pump(50);
  const size_t start = testing::WorkingSet();
  for (int i = 0; i < 10000; ++i) repaint(i);
  Pump(50);
  const size_t end = testing::WorkingSet();
  std::printf("working set: %zu KiB before, %zu KiB after 10000 repaints\n", start / 1024, end / 1024);
  EXPECT_LT(end, start + 2 * 1024 * 1024) << "working set grew from " << start << " to " << end;
}

}  // namespace
}  // namespace zc::win
