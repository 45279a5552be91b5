#pragma once
// A run without a window for management tools: downloads and judges the definitions as
// start-up does, runs each check once, treats what it found when asked to (the same
// pass, records and events as the window's), and says what it found and did as an
// exit code, a report and lines of text. It opens no window, message box, file explorer
// or homepage; a scan that is not asked to treat changes nothing, not even by the
// connection scan's kill pass.

#include <functional>
#include <vector>

#include "core/app/check_suite.h"
#include "core/app/platform_parts.h"
#include "core/platform/file_hash_api.h"
#include "core/scan/result_rows.h"
#include "core/scan/scan_arguments.h"
#include "core/scan/scan_exit_code.h"
#include "core/scan/scan_report.h"
#include "core/scan/silent_view.h"

namespace zc {

struct ScanRun {
  ScanExitCode exitCode = ScanExitCode::NothingFound;
  ScanReport report;
  // One line per Finding ("outcome<TAB>kind<TAB>name<TAB>id<TAB>path"), then why the run
  // stopped early, when it did.
  std::vector<Text> lines;
};

class SilentScan {
 public:
  SilentScan(const ConstantTexts& texts, const PlatformParts& platform, FileHashApi& hashes,
             std::function<void(float)> pause, const DefinitionsSigner& signer, Text definitionsAddress = {});
  SilentScan(const SilentScan&) = delete;
  SilentScan& operator=(const SilentScan&) = delete;

  ScanRun Run(const ScanRequest& request);

 private:
  // Ends the run early with `code` and `message`.
  ScanRun Stop(ScanRun run, ScanExitCode code, Text message);
  ReportedFinding Report(const Finding& finding, const TreatmentPlan& plan);
  void TakeOutcome(ReportedFinding& reported, const TreatedFinding& treated);
  void AddLines(ScanRun& run) const;

  const ConstantTexts& texts_;
  ElevationApi& elevation_;
  TreatmentLockApi& treatmentLock_;
  ClockApi& clock_;
  FileHashApi& hashes_;
  SilentView view_;
  ResultRows rows_;
  CheckSuite suite_;
};

}  // namespace zc
