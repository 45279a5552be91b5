// The message interception: before and after tables, "all messages", and the reports
// of refused operations.
#include "win32/candy/window_hook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/candy/candy_test_window.h"
#include "win32/base/ansi.h"
#include "win32/candy/leave_notifier.h"

namespace zc::win {
namespace {

struct RecordingSink : candy::HookFailureSink {
  std::vector<candy::HookFailureReport> reports;
  void Report(const candy::HookFailureReport& report) override { reports.push_back(report); }
  std::string LastText() const { return reports.empty() ? "" : ToUtf8(reports.back().boxText); }
  std::string LastTitle() const { return reports.empty() ? "" : ToUtf8(reports.back().boxTitle); }
};

// A window procedure that writes the application messages it sees into the trace held in
// the window's user data.
LRESULT CALLBACK TracingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* trace = reinterpret_cast<std::vector<std::string>*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (trace != nullptr && message >= WM_USER) trace->push_back("original " + std::to_string(message - WM_USER));
  if (message == WM_USER + 9) return 99;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

struct TracingCallback : HookCallback {
  std::vector<std::string>& trace;
  bool swallow = false;
  explicit TracingCallback(std::vector<std::string>& t) : trace(t) {}
  void OnHookedMessage(bool before, bool& handled, LRESULT& result, HWND, UINT message, WPARAM, LPARAM,
                       LONG_PTR&) override {
    if (message < WM_USER) return;
    trace.push_back((before ? "before " : "after ") + std::to_string(message - WM_USER) +
                    (before ? "" : " result " + std::to_string(result)));
    if (before && swallow) handled = true, result = 7;
  }
};

HWND PlainWindow(std::vector<std::string>* trace = nullptr) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &TracingProcedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZcHookTestPlain";
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(0, L"ZcHookTestPlain", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(trace));
  return window;
}

TEST(WindowHook, DeliversTableMessagesBeforeAndAfterTheOriginalAndRestoresIt) {
  std::vector<std::string> trace;
  UniqueWindow window(PlainWindow(&trace));
  RecordingSink sink;
  TracingCallback callback(trace);
  {
    WindowHook hook(sink);
    ASSERT_TRUE(hook.Start(window.get(), &callback));
    hook.AddMessage(window.get(), WM_USER + 1, WindowHook::kBefore);
    hook.AddMessage(window.get(), WM_USER + 9, WindowHook::kBoth);
    ::SendMessageW(window.get(), WM_USER + 1, 0, 0);
    ::SendMessageW(window.get(), WM_USER + 2, 0, 0);  // in no table: passes through
    EXPECT_EQ(::SendMessageW(window.get(), WM_USER + 9, 0, 0), 99);
    callback.swallow = true;
    EXPECT_EQ(::SendMessageW(window.get(), WM_USER + 9, 0, 0), 7);  // handled before: original skipped
    callback.swallow = false;
    hook.DeleteMessage(window.get(), WM_USER + 9, WindowHook::kBoth);
    hook.AddMessage(window.get(), WindowHook::kAllMessages, WindowHook::kAfter);
    ::SendMessageW(window.get(), WM_USER + 3, 0, 0);
    EXPECT_EQ(hook.CallOriginal(window.get(), WM_USER + 9, 0, 0), 99);
  }  // the hook ends: the original procedure is back
  ::SendMessageW(window.get(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, (std::vector<std::string>{"before 1", "original 1", "original 2", "before 9", "original 9",
                                             "after 9 result 99", "before 9", "after 9 result 7", "original 3",
                                             "after 3 result 0", "original 9", "original 1"}));
  EXPECT_TRUE(sink.reports.empty());
}

TEST(WindowHook, ReportsRefusedOperationsWithTheirTexts) {
  UniqueWindow window(PlainWindow());
  RecordingSink sink;
  std::vector<std::string> unused;
  TracingCallback callback(unused);
  WindowHook hook(sink);

  hook.AddMessage(window.get(), WM_PAINT, WindowHook::kBefore);
  EXPECT_EQ(sink.LastText(), "Subclassing hasn't been started.");
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.zMap_hWnd");

  EXPECT_FALSE(hook.Start(nullptr, &callback));
  EXPECT_EQ(sink.LastText(), "Invalid window handle.");
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.sc_Subclass");
  EXPECT_EQ(ToUtf8(sink.reports.back().logEntry), "CandyButton.sc_Subclass: Invalid window handle");

  EXPECT_FALSE(hook.Start(window.get(), nullptr));
  EXPECT_EQ(sink.LastText(), "Callback method not found.");

  DWORD desktopProcess = 0;
  ::GetWindowThreadProcessId(::GetDesktopWindow(), &desktopProcess);
  if (desktopProcess != ::GetCurrentProcessId()) {
    EXPECT_FALSE(hook.Start(::GetDesktopWindow(), &callback));
    EXPECT_EQ(sink.LastText(), "Window handle belongs to another process.");
  }

  ASSERT_TRUE(hook.Start(window.get(), &callback));
  EXPECT_FALSE(hook.Start(window.get(), &callback));
  EXPECT_EQ(sink.LastText(), "Window handle is already subclassed.");
  WindowHook other(sink);
  EXPECT_FALSE(other.Start(window.get(), &callback));  // another hook on the same window
  EXPECT_EQ(sink.LastText(), "Window handle is already subclassed.");

  for (int i = 0; i < WindowHook::kMaxMessages; ++i) hook.AddMessage(window.get(), WM_USER + i, WindowHook::kAfter);
  const size_t before = sink.reports.size();
  hook.AddMessage(window.get(), WM_USER + 100, WindowHook::kAfter);
  ASSERT_EQ(sink.reports.size(), before + 1);
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.zAddMsg");
  EXPECT_EQ(sink.LastText().rfind("Message table overflow.", 0), 0u);

  hook.DeleteMessage(window.get(), WM_MOUSEMOVE, WindowHook::kBefore);
  EXPECT_EQ(sink.LastText(), "Message &H200 not found in table.");
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.zDelMsg");

  UniqueWindow stranger(PlainWindow());
  EXPECT_FALSE(hook.Stop(stranger.get()));
  EXPECT_EQ(sink.LastText(), "Window handle isn't subclassed.");
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.sc_UnSubclass");
  hook.AddMessage(stranger.get(), WM_PAINT, WindowHook::kBefore);
  EXPECT_EQ(sink.LastTitle(), "Error in CandyButton.zMap_hWnd");

  EXPECT_TRUE(hook.Stop(window.get()));
  EXPECT_FALSE(hook.Intercepts(window.get()));
}

TEST(LeaveNotifier, FindsTheWindowLibrarysFunction) {
  const LeaveNotifier notifier = LeaveNotifier::Find();
  EXPECT_TRUE(notifier.Available());
  EXPECT_EQ(notifier.From(), LeaveNotifier::Source::User32);
}

}  // namespace
}  // namespace zc::win
