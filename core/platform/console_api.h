#pragma once
// Runs a console command hidden, waits until it has ended and returns everything it
// wrote to standard output and standard error, converted from the ANSI code page.

#include "core/base/text.h"

namespace zc {

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;

  // Empty when nothing could be started or nothing was written.
  virtual Text RunCapture(TextView commandLine) = 0;
};

}  // namespace zc
