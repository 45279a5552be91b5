// The reactions to pointer, keyboard and focus, as sequences of inputs with the events
// they raise and the looks they paint.
#include <gtest/gtest.h>

#include "core/candy/candy_interaction.h"
#include "core/candy/candy_persistence.h"
#include "core/candy/main_window_buttons.h"
#include "tests/unit/candy/candy_doubles.h"

namespace zc::candy {
namespace {

using K = CandyEventKind;
using S = VisualState;

struct Input {
  enum Kind { MoveMsg, LeaveMsg, PaintMsg, Down, Move, Up, Click, DblClick, KeyDown, KeyUp, FocusIn, FocusOut, Resize };
  Kind kind;
  int x = 0;      // position, or the key code
  int y = 0;
  int held = 0;   // key state of a move message, or the Button argument
};

Input MoveMsg(int x, int y, int keyState = 0) { return {Input::MoveMsg, x, y, keyState}; }
Input Press(int x = 10, int y = 10) { return {Input::Down, x, y, 1}; }
Input Release(int x = 10, int y = 10) { return {Input::Up, x, y, 1}; }
Input Drag(int x, int y) { return {Input::Move, x, y, 1}; }
Input Key(Input::Kind kind, int code) { return {kind, code}; }
const Input kLeave{Input::LeaveMsg}, kClick{Input::Click}, kFocusIn{Input::FocusIn}, kFocusOut{Input::FocusOut};

struct Case {
  const char* name;
  bool enabled;
  bool checked;
  bool tracking;
  std::vector<Input> inputs;
  std::vector<K> events;
  std::vector<S> painted;
  bool hoverAfter;
  bool focusAfter = false;  // a press takes the focus as the window gets it
};

void Feed(CandyInteraction& i, const Input& in) {
  const auto button = static_cast<int16_t>(in.held);
  const auto x = static_cast<float>(in.x), y = static_cast<float>(in.y);
  switch (in.kind) {
    case Input::MoveMsg:
      i.OnPointerMoveMessage(static_cast<uint64_t>(in.held),
                             static_cast<int64_t>(static_cast<uint16_t>(in.x)) |
                                 (static_cast<int64_t>(static_cast<uint16_t>(in.y)) << 16));
      break;
    case Input::LeaveMsg: i.OnPointerLeaveMessage(); break;
    case Input::PaintMsg: i.OnPaintMessage(); break;
    case Input::Down: i.OnButtonDown(button, 0, x, y); break;
    case Input::Move: i.OnMove(button, 0, x, y); break;
    case Input::Up: i.OnButtonUp(button, 0, x, y); break;
    case Input::Click: i.OnClick(); break;
    case Input::DblClick: i.OnDoubleClick(); break;
    case Input::KeyDown: i.OnKeyDown(in.x); break;
    case Input::KeyUp: i.OnKeyUp(in.x); break;
    case Input::FocusIn: i.OnFocusEnter(); break;
    case Input::FocusOut: i.OnFocusExit(); break;
    case Input::Resize: i.OnResizeOrShow(); break;
  }
}

TEST(Interaction, EventSequences) {
  const Case cases[] = {
      {"click inside", true, false, true,
       {MoveMsg(10, 10), Press(), Release(), kClick},
       {K::MouseEnter, K::MouseDown, K::MouseUp, K::Click}, {S::Hover, S::Down, S::Hover}, true, true},
      {"drag out and release outside", true, false, true,
       {MoveMsg(10, 10), Press(), Drag(-5, 10), Release(-5, 10)},
       {K::MouseEnter, K::MouseDown, K::MouseMove, K::MouseUp}, {S::Hover, S::Down, S::Up, S::Focused}, false,
       true},
      {"drag still inside keeps hover", true, false, true,
       {MoveMsg(10, 10), Press(), Drag(129, 41)},
       {K::MouseEnter, K::MouseDown, K::MouseMove}, {S::Hover, S::Down}, true, true},
      {"left button alone never sets hover", true, false, true,
       {MoveMsg(10, 10, 1), MoveMsg(12, 12, 1)}, {}, {}, false},
      {"other held keys still set hover", true, false, true,
       {MoveMsg(10, 10, 1 | 4)}, {K::MouseEnter}, {S::Hover}, true},
      {"border column and row are not inside", true, false, true,
       {MoveMsg(0, 10), MoveMsg(10, 0), MoveMsg(129, 10), MoveMsg(10, 41), MoveMsg(-3, -3), MoveMsg(1, 1)},
       {K::MouseEnter}, {S::Hover}, true},
      {"hover enters once until the leave", true, false, true,
       {MoveMsg(5, 5), MoveMsg(6, 6), kLeave, MoveMsg(7, 7)},
       {K::MouseEnter, K::MouseLeave, K::MouseEnter}, {S::Hover, S::Up, S::Hover}, true},
      {"enter held and released", true, false, true,
       {Key(Input::KeyDown, 13), Key(Input::KeyDown, 13), Key(Input::KeyDown, 13), Key(Input::KeyUp, 13)},
       {K::MouseDown, K::MouseDown, K::MouseDown, K::MouseUp, K::Click}, {S::Down, S::Down, S::Down, S::Focused},
       false, true},
      {"space does nothing", true, false, true,
       {Key(Input::KeyDown, 32), Key(Input::KeyUp, 32)}, {}, {}, false},
      {"disabled raises only enter and leave", false, false, true,
       {MoveMsg(10, 10), Press(), Drag(-5, 3), Release(), kClick, Key(Input::KeyDown, 13), Key(Input::KeyUp, 13),
        {Input::DblClick}, kLeave},
       {K::MouseEnter, K::MouseLeave}, {S::Hover, S::Up}, false},
      {"disabled still follows focus without painting", false, false, true,
       {kFocusIn}, {}, {}, false, true},
      {"disabled still loses focus without painting", false, false, true,
       {kFocusIn, kFocusOut}, {}, {}, false, false},
      {"checked follows focus without painting", true, true, true,
       {kFocusIn}, {}, {}, false, true},
      {"focus leaving a hovered button repaints up twice", true, false, true,
       {MoveMsg(10, 10), kFocusIn, kFocusOut, kLeave},
       {K::MouseEnter, K::MouseLeave}, {S::Hover, S::Up, S::Up}, false},
      {"leave with focus paints focused", true, false, true,
       {kFocusIn, MoveMsg(10, 10), kLeave}, {K::MouseEnter, K::MouseLeave}, {S::Focused, S::Hover, S::Focused},
       false, true},
      {"checked keeps its pressed look", true, true, true,
       {MoveMsg(10, 10), kFocusIn, Press(), Release(), kClick, kLeave, kFocusOut},
       {K::MouseEnter, K::MouseDown, K::MouseUp, K::Click, K::MouseLeave}, {S::CheckedDown, S::CheckedDown},
       false},
      {"double click paints down", true, false, true,
       {{Input::DblClick}}, {K::DblClick}, {S::Down}, false},
      {"without a leave notification there is no hover", true, false, false,
       {MoveMsg(10, 10), Press(), Release(), kClick, kLeave},
       {K::MouseDown, K::MouseUp, K::Click}, {S::Down, S::Focused}, false, true},
      {"resize reshapes and paints up", true, false, true,
       {{Input::Resize}, {Input::PaintMsg}}, {}, {S::Up}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ButtonRig rig;
    const CandyButtonValues values = TreatButtonValues();
    MemoryPropertyStore store = StoreOf(values);
    ASSERT_TRUE(ReadProperties(rig.button, store, {true, values.instanceName, values.font}));
    rig.button.StoredProperties().enabled = c.enabled;
    rig.button.StoredProperties().checked = c.checked;
    rig.button.SetSize(values.width, values.height);
    rig.button.ApplyShape();
    CandyInteraction interaction(rig.button);
    interaction.SetTrackingAvailable(c.tracking);
    const int shapesBefore = rig.host.shapesSet;

    for (const Input& in : c.inputs) Feed(interaction, in);

    std::vector<K> kinds;
    for (const CandyEvent& e : rig.host.events) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, c.events);
    EXPECT_EQ(rig.host.painted, c.painted);
    EXPECT_EQ(rig.button.Hover(), c.hoverAfter);
    EXPECT_EQ(rig.button.Focus(), c.focusAfter);
    const auto enters = std::count(c.events.begin(), c.events.end(), K::MouseEnter);
    EXPECT_EQ(rig.host.leaveRequests, enters);  // one leave request per entry
    if (c.inputs.front().kind == Input::Resize) {
      EXPECT_EQ(rig.host.shapesSet, shapesBefore + 2);
    }
  }
}

TEST(Interaction, PointerEventsCarryTheirArguments) {
  testing::ButtonRig rig;
  rig.button.StoredProperties().enabled = true;
  rig.button.SetSize(50, 20);
  rig.button.SetReady();
  CandyInteraction interaction(rig.button);
  interaction.OnButtonDown(2, 3, 4.5f, 6);
  interaction.OnMove(4, 1, -1, 30);  // not the left button: stays as it is
  interaction.OnKeyUp(13);
  EXPECT_EQ(rig.host.events, (std::vector<CandyEvent>{{K::MouseDown, 2, 3, 4.5f, 6},
                                                      {K::MouseMove, 4, 1, -1, 30},
                                                      {K::MouseUp, 1, 0, 0, 0},
                                                      {K::Click}}));
}

}  // namespace
}  // namespace zc::candy
