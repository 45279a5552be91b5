#pragma once
// The whole program behind its window: the definitions set, the row buffer, the
// process inventory, the three checks, the treatment pass, the timers' handlers and the
// main window's logic, joined to the platform's adapters and to the window's view.

#include "core/app/check_suite.h"
#include "core/app/form1.h"
#include "core/app/platform_parts.h"
#include "core/app/program_policies.h"
#include "core/engine/scan_scheduler.h"

namespace zc {


struct WindowParts {
  Form1View& view;
  EventPump& pump;
  ResultList& results;
  TimerApi& timers;
};

class Program : private ChecksPort {
 public:
  // `signer`: who must have signed the definitions set (DefinitionsSigner::Unsigned()
  // for a build that takes unsigned sets). `policies`: the machine's policies.
  Program(const ConstantTexts& texts, const PlatformParts& platform, const WindowParts& window,
          const DefinitionsSigner& signer, const ProgramPolicies& policies = {});
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Form1& form() { return form_; }
  // A tick of one of the three scan timers.
  void Tick(TimerId timer);

  const DefinitionsSet& definitions() const { return suite_.definitions(); }
  const TreatmentPass& treatment() const { return suite_.treatment(); }

 private:
  void ClearReportedItems() override;
  void RunChecksOnce() override;
  void TreatFindings() override;
  int32_t FindingsNeedingAdministrator() override;

  const ConstantTexts& texts_;
  MainWindowView& view_;
  TreatmentLockApi& treatmentLock_;
  CheckSuite suite_;
  Form1 form_;
  ScanScheduler scheduler_;
};

}  // namespace zc
