#pragma once
// The reports of the button's message interception when an operation is refused: a
// warning box (text and title) and an error entry for the application event log.

#include <cstdint>

#include "core/base/text.h"

namespace zc::candy {

enum class HookOperation { Start, Stop, Find, AddMessage, DeleteMessage };

enum class HookError {
  InvalidWindow,
  OtherProcess,
  NoCallback,
  AlreadyIntercepted,
  AllocationFailed,     // detail: the system error number
  ProcedureNotReplaced, // detail: the system error number
  NotIntercepted,
  NotStarted,
  MessageNotFound,      // detail: the message number
  TableOverflow,
};

struct HookFailureReport {
  Text boxText;
  Text boxTitle;
  Text logEntry;
};

HookFailureReport DescribeHookFailure(HookOperation operation, HookError error, uint32_t detail = 0);

// Receives the failures; the Win32 side shows the box and writes the log entry.
class HookFailureSink {
 public:
  virtual ~HookFailureSink() = default;
  virtual void Report(const HookFailureReport& report) = 0;
};

}  // namespace zc::candy
