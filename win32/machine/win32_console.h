#pragma once
// Console capture: the command runs hidden in a console of its own with one pipe for
// both standard output and standard error; the calling thread waits until it has ended.
// The program is a system tool taken from the system folder, or one named by its
// absolute path (system_program.h).
//
// The loop waits for the child at most one interval, then reads whatever the pipe holds,
// and goes round again only while the child is still running; after the child has ended
// the pipe is read once more, so its last output is kept. The program holds its own copy
// of the write end, so the loop never waits for end of file.
//
// Large outputs: the pipe has a large buffer, so a child rarely blocks on a full pipe,
// and after a read that returned data the loop looks again at once instead of waiting a
// whole interval. A trivial command ends the wait as soon as it exits.

#include <cstdint>

#include "core/platform/console_api.h"

namespace zc::win {

class Win32Console : public ConsoleApi {
 public:
  static constexpr uint32_t kWaitIntervalMs = 500;
  static constexpr uint32_t kPipeBufferBytes = 1u << 20;

  Text RunCapture(TextView commandLine) override;
};

}  // namespace zc::win
