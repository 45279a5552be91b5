// Times console capture under Wine or Windows and prints the median of each case:
// the whole capture, and the same child run with its output going to the null device
// (what the child itself costs). Their difference is what capture adds after the
// child has written everything.
//
//   capture_benchmark [repetitions]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_console.h"

namespace {

using zc::win::testing::ChildCommand;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double TimeCapture(const std::string& arguments, size_t expectedSize) {
  zc::win::Win32Console console;
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  const zc::Text output = console.RunCapture(zc::win::FromAnsi(ChildCommand(arguments)));
  ::QueryPerformanceCounter(&end);
  if (output.size() != expectedSize) {
    std::printf("  wrong size: %zu instead of %zu\n", output.size(), expectedSize);
  }
  return Seconds(start, end);
}

// The child alone, writing into the null device, started the same way.
double TimeChildAlone(const std::string& arguments) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  zc::win::UniqueFile nul(::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable,
                                        OPEN_EXISTING, 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = nul.get();
  startup.hStdError = nul.get();
  std::string command = ChildCommand(arguments);
  PROCESS_INFORMATION child{};
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &child)) {
    return 0;
  }
  ::WaitForSingleObject(child.hProcess, INFINITE);
  ::QueryPerformanceCounter(&end);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  return Seconds(start, end);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
  struct Case { const char* name; std::string arguments; size_t size; };
  const Case cases[] = {
      {"trivial (no output)", "exit", 0},
      {"40 KB", "print 40000", 40000},
      {"100 KB", "print 100000", 100000},
      {"1 MB", "print 1000000", 1000000},
      {"1.5 MB", "print 1500000", 1500000},
  };
  std::printf("%-22s %12s %12s %12s   (medians of %d runs, seconds)\n", "case", "capture",
              "child alone", "difference", repetitions);
  for (const Case& c : cases) {
    std::vector<double> capture, alone;
    for (int i = 0; i < repetitions; ++i) {
      capture.push_back(TimeCapture(c.arguments, c.size));
      alone.push_back(TimeChildAlone(c.arguments));
    }
    const double captureMedian = Median(capture);
    const double aloneMedian = Median(alone);
    std::printf("%-22s %12.3f %12.3f %12.3f\n", c.name, captureMedian, aloneMedian,
                captureMedian - aloneMedian);
  }
  return 0;
}
