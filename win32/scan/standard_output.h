#pragma once
// Lines to the standard output and error handles the program was given: to a console
// with the console's own calls (any text shows as it is), to a pipe or a file as UTF-8.
// A handle that is not there (a program started from the shell with none) takes
// nothing.

#include "core/base/text.h"

namespace zc::win {

class StandardOutput {
 public:
  void Line(TextView text) { Write(text, false); }
  void ErrorLine(TextView text) { Write(text, true); }

 private:
  void Write(TextView text, bool error);
};

}  // namespace zc::win
