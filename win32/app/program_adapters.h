#pragma once
// The program's adapters that the main window's composition holds besides the machine
// layer: the definitions download, the desktop's windows, the activity log and where
// the cipher's failure reports go.

#include <windows.h>

#include <string>

#include "core/platform/activity_log.h"
#include "core/platform/window_enum_api.h"
#include "win32/base/ansi.h"
#include "win32/net/winhttp_client.h"

namespace zc::win {

class TopLevelWindows final : public WindowEnumApi {
 public:
  void EnumerateTopLevelWindows(
      const std::function<bool(WindowHandle window, const Text& title)>& visit) override {
    EnumWindows(&TopLevelWindows::Visit, reinterpret_cast<LPARAM>(&visit));
  }

 private:
  using Visitor = std::function<bool(WindowHandle, const Text&)>;
  static BOOL CALLBACK Visit(HWND window, LPARAM value) {
    char title[256] = {};
    const int length = GetWindowTextA(window, title, 256);
    const Text text = FromAnsi(std::string_view(title, static_cast<size_t>(length > 0 ? length : 0)));
    return (*reinterpret_cast<const Visitor*>(value))(reinterpret_cast<WindowHandle>(window), text) ? TRUE : FALSE;
  }
};

struct ProgramAdapters {
  WinHttpClient http;
  TopLevelWindows windows;
  SilentFailureReporter failures;
  class : public ActivityLog {
   public:
    void Log_Trans(TextView, TextView) override {}
  } log;
};

}  // namespace zc::win
