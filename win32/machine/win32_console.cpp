#include "win32/machine/win32_console.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/ansi_stream_decoder.h"
#include "win32/machine/system_program.h"

namespace zc::win {
namespace {

enum class ReadResult { Nothing, Data, Failed };

// Reads exactly what the pipe holds now, without blocking.
ReadResult ReadAvailable(HANDLE pipe, AnsiStreamDecoder& decoder, Text& captured) {
  DWORD available = 0;
  if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) {
    return ReadResult::Nothing;
  }
  std::string bytes(available, '\0');
  DWORD read = 0;
  if (!::ReadFile(pipe, bytes.data(), available, &read, nullptr)) return ReadResult::Failed;
  bytes.resize(read);
  captured += decoder.Decode(bytes);
  return ReadResult::Data;
}

}  // namespace

Text Win32Console::RunCapture(TextView commandLine) {
  const Text program = SystemProgramFor(commandLine);
  if (program.empty()) return {};
  const std::wstring application = ToWide(program);

  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  UniqueHandle readEnd;
  UniqueHandle writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, kPipeBufferBytes)) return {};

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;  // 0x101
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();

  // A console without any window: a hidden new console may still open a window in a
  // terminal application that is the system's default console host.
  std::wstring command = ToWide(commandLine);
  PROCESS_INFORMATION child{};
  if (!::CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &child)) {
    readEnd.reset();
    writeEnd.reset();
    return {};
  }
  UniqueHandle thread(child.hThread);
  UniqueHandle process(child.hProcess);

  Text captured;
  AnsiStreamDecoder decoder;
  DWORD wait = kWaitIntervalMs;
  for (;;) {
    const DWORD waited = ::WaitForSingleObject(process.get(), wait);
    ReadResult read = ReadAvailable(readEnd.get(), decoder, captured);
    if (waited != WAIT_TIMEOUT) {
      // The child has ended and writes no more: whatever is left is in the pipe.
      while (read == ReadResult::Data) read = ReadAvailable(readEnd.get(), decoder, captured);
      break;
    }
    if (read == ReadResult::Failed) break;
    wait = read == ReadResult::Data ? 0 : kWaitIntervalMs;
  }
  captured += decoder.Finish();

  thread.reset();
  process.reset();
  readEnd.reset();
  writeEnd.reset();
  return captured;
}

}  // namespace zc::win
