#include "win32/desktop/win32_window_enum.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/engine/window_title_search.h"
#include "tests/win32/base/ansi_of.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

UniqueWindow TopLevelWindow(TextView title) {
  return UniqueWindow(::CreateWindowExA(0, "STATIC", AnsiOf(title).c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

// The title the enumeration gives for `window`, or "<absent>".
std::string TitleSeen(Win32WindowEnum& windows, HWND window) {
  std::string seen = "<absent>";
  windows.EnumerateTopLevelWindows([&](WindowHandle handle, const Text& title) {
    if (handle != reinterpret_cast<WindowHandle>(window)) return true;
    seen = ToUtf8(title);
    return false;
  });
  return seen;
}

TEST(Win32WindowEnumTest, GivesEachWindowWithItsAnsiTitle) {
  const Text korean = FromUtf8("좀비 치료기 - 정지 요청");
  UniqueWindow first = TopLevelWindow(korean);
  UniqueWindow second = TopLevelWindow(u"");
  ASSERT_TRUE(first.get() && second.get());
  Win32WindowEnum windows;
  EXPECT_EQ(TitleSeen(windows, first.get()), ToUtf8(korean));
  EXPECT_EQ(TitleSeen(windows, second.get()), "");
}

TEST(Win32WindowEnumTest, ATitleIsReadUpTo255Characters) {
  const Text title = Text(250, u'a') + u"bcdefNeedle";
  UniqueWindow window = TopLevelWindow(title);
  ASSERT_TRUE(window.get());
  Win32WindowEnum windows;
  EXPECT_EQ(TitleSeen(windows, window.get()), std::string(250, 'a') + "bcdef");
  WindowTitleSearch search(windows);
  EXPECT_EQ(search.FindWindowByTitle(u"abcdef"), reinterpret_cast<WindowHandle>(window.get()));
  EXPECT_NE(search.FindWindowByTitle(u"Needle"), reinterpret_cast<WindowHandle>(window.get()));
}

TEST(Win32WindowEnumTest, StopsWhenTheVisitorSaysSo) {
  UniqueWindow a = TopLevelWindow(u"one");
  UniqueWindow b = TopLevelWindow(u"two");
  Win32WindowEnum windows;
  int all = 0;
  windows.EnumerateTopLevelWindows([&](WindowHandle, const Text&) { return ++all, true; });
  EXPECT_GE(all, 2);
  int visited = 0;
  windows.EnumerateTopLevelWindows([&](WindowHandle, const Text&) { return ++visited, false; });
  EXPECT_EQ(visited, 1);
  // An empty fragment matches the first window enumerated.
  WindowTitleSearch search(windows);
  EXPECT_NE(search.FindWindowByTitle(u""), 0u);
}

}  // namespace
}  // namespace zc::win
