#include "win32/candy/window_hook.h"

#include <algorithm>

namespace zc::win {
namespace {

constexpr wchar_t kRecordProperty[] = L"ZcCandyHookRecord";

}  // namespace

bool WindowHook::Table::Matches(UINT message) const {
  return all || std::find(messages.begin(), messages.end(), message) != messages.end();
}

void WindowHook::Fail(candy::HookOperation operation, candy::HookError error, uint32_t detail) {
  failures_.Report(candy::DescribeHookFailure(operation, error, detail));
}

bool WindowHook::Start(HWND window, HookCallback* callback) {
  using candy::HookError;
  constexpr auto op = candy::HookOperation::Start;
  if (window == nullptr || !::IsWindow(window)) return Fail(op, HookError::InvalidWindow), false;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId()) return Fail(op, HookError::OtherProcess), false;
  if (callback == nullptr) return Fail(op, HookError::NoCallback), false;
  if (::GetPropW(window, kRecordProperty) != nullptr) return Fail(op, HookError::AlreadyIntercepted), false;

  auto record = std::make_unique<Record>();
  record->window = window;
  record->callback = callback;
  if (!::SetPropW(window, kRecordProperty, record.get()))
    return Fail(op, HookError::ProcedureNotReplaced, ::GetLastError()), false;
  ::SetLastError(0);
  const LONG_PTR previous =
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowHook::HookProcedure));
  if (previous == 0 && ::GetLastError() != 0) {
    const DWORD error = ::GetLastError();
    ::RemovePropW(window, kRecordProperty);
    return Fail(op, HookError::ProcedureNotReplaced, error), false;
  }
  record->original = reinterpret_cast<WNDPROC>(previous);
  records_.push_back(std::move(record));
  return true;
}

WindowHook::Record* WindowHook::Find(HWND window, bool report) {
  if (records_.empty()) {
    if (report) Fail(candy::HookOperation::Find, candy::HookError::NotStarted);
    return nullptr;
  }
  for (auto& record : records_)
    if (record->window == window) return record.get();
  if (report) Fail(candy::HookOperation::Find, candy::HookError::NotIntercepted);
  return nullptr;
}

bool WindowHook::Intercepts(HWND window) const {
  return std::any_of(records_.begin(), records_.end(), [&](const auto& r) { return r->window == window; });
}

void WindowHook::AddTo(Table& table, int message) {
  if (message == kAllMessages) {
    table.all = true;
    return;
  }
  const auto number = static_cast<UINT>(message);
  if (std::find(table.messages.begin(), table.messages.end(), number) != table.messages.end()) return;
  if (static_cast<int>(table.messages.size()) >= kMaxMessages) {
    Fail(candy::HookOperation::AddMessage, candy::HookError::TableOverflow);
    return;
  }
  table.messages.push_back(number);
}

void WindowHook::DeleteFrom(Table& table, int message) {
  if (message == kAllMessages) {
    table.all = false;
    table.messages.clear();
    return;
  }
  const auto it = std::find(table.messages.begin(), table.messages.end(), static_cast<UINT>(message));
  if (it == table.messages.end()) {
    Fail(candy::HookOperation::DeleteMessage, candy::HookError::MessageNotFound, static_cast<uint32_t>(message));
    return;
  }
  table.messages.erase(it);
}

void WindowHook::AddMessage(HWND window, int message, int when) {
  Record* record = Find(window, true);
  if (record == nullptr) return;
  if (when & kBefore) AddTo(record->before, message);
  if (when & kAfter) AddTo(record->after, message);
}

void WindowHook::DeleteMessage(HWND window, int message, int when) {
  Record* record = Find(window, true);
  if (record == nullptr) return;
  if (when & kBefore) DeleteFrom(record->before, message);
  if (when & kAfter) DeleteFrom(record->after, message);
}

void WindowHook::Restore(Record& record) {
  if (::IsWindow(record.window)) {
    ::SetWindowLongPtrW(record.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record.original));
    ::RemovePropW(record.window, kRecordProperty);
  }
}

bool WindowHook::Stop(HWND window) {
  const auto it = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r->window == window; });
  if (it == records_.end()) {
    Fail(candy::HookOperation::Stop, candy::HookError::NotIntercepted);
    return false;
  }
  Restore(**it);
  records_.erase(it);
  return true;
}

void WindowHook::StopAll() {
  for (auto& record : records_) Restore(*record);
  records_.clear();
}

LRESULT WindowHook::CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record* record = Find(window, false);
  if (record == nullptr || record->original == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return ::CallWindowProcW(record->original, window, message, wParam, lParam);
}

LRESULT CALLBACK WindowHook::HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* record = static_cast<Record*>(::GetPropW(window, kRecordProperty));
  if (record == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // Copies: the callback or the original procedure may stop the interception.
  const WNDPROC original = record->original;
  HookCallback* callback = record->callback;
  const bool after = record->after.Matches(message);
  bool handled = false;
  LRESULT result = 0;
  if (record->before.Matches(message))
    callback->OnHookedMessage(true, handled, result, window, message, wParam, lParam, record->userValue);
  if (!handled) result = ::CallWindowProcW(original, window, message, wParam, lParam);
  if (after) {
    record = static_cast<Record*>(::GetPropW(window, kRecordProperty));
    if (record != nullptr)
      callback->OnHookedMessage(false, handled, result, window, message, wParam, lParam, record->userValue);
  }
  return result;
}

}  // namespace zc::win
