// Shows the main window's two candy buttons on a black window of the main window's size
// until the window is closed; screenshots.sh photographs it at rest, hovered and pressed.
#include <windows.h>

#include <cstdio>

#include "core/candy/main_window_buttons.h"
#include "tests/win32/candy/candy_test_window.h"
#include "win32/candy/candy_button_window.h"

int main() {
  zc::win::UniqueWindow host = zc::win::testing::CreateHostWindow(L"candy showcase");
  if (!host) return 1;
  auto treat = zc::win::CreateCandyButton(host.get(), 101, zc::candy::TreatButtonValues());
  auto tray = zc::win::CreateCandyButton(host.get(), 102, zc::candy::TrayButtonValues());
  if (!treat || !tray) return 2;
  // Where the buttons are on the screen, for the screenshot script.
  for (auto* button : {treat.get(), tray.get()}) {
    RECT r{};
    ::GetWindowRect(button->Handle(), &r);
    std::printf("button %d %ld %ld %ld %ld\n", button->Id(), r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  std::fflush(stdout);
  MSG msg;
  while (::IsWindow(host.get()) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  treat.reset();
  tray.reset();
  host.release();  // already destroyed by closing
  return 0;
}
