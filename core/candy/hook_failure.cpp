#include "core/candy/hook_failure.h"

namespace zc::candy {
namespace {

Text OperationName(HookOperation operation) {
  switch (operation) {
    case HookOperation::Start: return u"sc_Subclass";
    case HookOperation::Stop: return u"sc_UnSubclass";
    case HookOperation::Find: return u"zMap_hWnd";
    case HookOperation::AddMessage: return u"zAddMsg";
    case HookOperation::DeleteMessage: return u"zDelMsg";
  }
  return {};
}

Text HexText(uint32_t value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

Text Message(HookError error, uint32_t detail) {
  switch (error) {
    case HookError::InvalidWindow: return u"Invalid window handle";
    case HookError::OtherProcess: return u"Window handle belongs to another process";
    case HookError::NoCallback: return u"Callback method not found";
    case HookError::AlreadyIntercepted: return u"Window handle is already subclassed";
    case HookError::AllocationFailed: return u"VirtualAlloc failed, error: " + DecimalText(detail);
    case HookError::ProcedureNotReplaced: return u"SetWindowLong failed, error #" + DecimalText(detail);
    case HookError::NotIntercepted: return u"Window handle isn't subclassed";
    case HookError::NotStarted: return u"Subclassing hasn't been started";
    case HookError::MessageNotFound: return u"Message &H" + HexText(detail) + u" not found in table";
    case HookError::TableOverflow:
      return u"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
             u"ALL_MESSAGES instead of specific message values";
  }
  return {};
}

}  // namespace

HookFailureReport DescribeHookFailure(HookOperation operation, HookError error, uint32_t detail) {
  const Text name = OperationName(operation);
  const Text message = Message(error, detail);
  return {message + u".", u"Error in CandyButton." + name, u"CandyButton." + name + u": " + message};
}

}  // namespace zc::candy
