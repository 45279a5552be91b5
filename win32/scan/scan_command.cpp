#include "win32/scan/scan_command.h"

#include <windows.h>

#include <algorithm>

#include "core/scan/scan_arguments.h"
#include "core/scan/silent_scan.h"
#include "core/texts/definitions_key.h"
#include "win32/app/machine_adapters.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/scan/standard_output.h"
#include "win32/signing/cng_signatures.h"

namespace zc::win {
namespace {

int Code(ScanExitCode code) { return static_cast<int>(code); }

void Usage(StandardOutput& out, const ConstantTexts& texts, bool error) {
  for (const Text& line : ScanUsageLines(texts)) error ? out.ErrorLine(line) : out.Line(line);
}

// The report file, made (or emptied) before the scan runs, so that a path that cannot
// be written is a bad argument, not a lost report. A link at the file's own name is
// replaced, never followed.
UniqueFile OpenReport(const Text& path) {
  return UniqueFile(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return FlushFileBuffers(file) != 0;
}

}  // namespace

int RunScanCommand(const std::vector<Text>& arguments) {
  StandardOutput out;
  MachineAdapters machine;
  const ConstantTexts& texts = machine.texts;
  const ScanArguments parsed = ParseScanArguments(arguments, texts);
  if (parsed.kind == ScanArgumentsKind::Help) {
    Usage(out, texts, false);
    return Code(ScanExitCode::NothingFound);
  }
  if (parsed.kind != ScanArgumentsKind::Scan) {
    out.ErrorLine(parsed.problem);
    Usage(out, texts, true);
    return Code(ScanExitCode::BadArguments);
  }

  UniqueFile report;
  if (parsed.request.reportPath) {
    report = OpenReport(*parsed.request.reportPath);
    if (!report) {
      out.ErrorLine(texts.Get(enc::ScanReportNotWritten) + *parsed.request.reportPath + u" (" +
                    DecimalText(static_cast<long long>(GetLastError())) + u")");
      return Code(ScanExitCode::BadArguments);
    }
  }

  // A policy value the program could not use is said, as the window logs it.
  for (const Text& line : machine.policies.ignored) out.ErrorLine(line);

  CngSignatures signatures;
  const DefinitionsSigner signer = enc::kDefinitionsUnsigned
                                       ? DefinitionsSigner::Unsigned()
                                       : DefinitionsSigner(enc::DefinitionsPublicKey, signatures);
  SilentScan scan(texts, machine.Platform(), machine.restoreMachine.hashes,
                  [](float seconds) { Sleep(static_cast<DWORD>(seconds * 1000.0f)); }, signer,
                  machine.policies.definitionsAddress);
  const ScanRun run = scan.Run(parsed.request);
  for (const Text& line : run.lines) out.Line(line);
  if (report && !WriteAll(report.get(), ScanReportJson(run.report))) {
    out.ErrorLine(texts.Get(enc::ScanReportNotWritten) + *parsed.request.reportPath + u" (" +
                  DecimalText(static_cast<long long>(GetLastError())) + u")");
  }
  return Code(run.exitCode);
}

}  // namespace zc::win
