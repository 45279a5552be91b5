#include "core/app/program.h"

namespace zc {

Program::Program(const ConstantTexts& texts, const PlatformParts& platform, const WindowParts& window,
                 const DefinitionsSigner& signer)
    : inventory_(platform.processes),
      registryCheck_(texts, definitions_, platform.registry, window.results, rowBuffer_),
      serviceCheck_(texts, definitions_, platform.registry, window.results, rowBuffer_),
      connectionScan_(texts, definitions_, platform.listings, inventory_, endRules_, platform.shell, platform.registry,
                      window.results, rowBuffer_),
      treatment_(texts, definitions_, window.results, window.view, platform.log,
                 {platform.files, platform.shell, platform.processes, platform.processDetails, platform.registry,
                  platform.services, platform.environment, platform.trust, platform.connectionOwners, platform.rawRegistry},
                 platform.recorder),
      loadedDefinitions_(texts, platform.http, platform.settings, platform.clock, definitions_, signer),
      form_({texts, window.view, window.pump, window.results, platform.settings, platform.registry,
             platform.shell, window.timers, loadedDefinitions_, *this, platform.log, platform.elevation}),
      scheduler_(texts, window.timers, registryCheck_, serviceCheck_, connectionScan_, window.view,
                 platform.windows, [this] { form_.Check2_Click(); }),
      endRules_(platform.processes, platform.processDetails) {}

void Program::Tick(TimerId timer) {
  if (form_.Ended()) return;
  switch (timer) {
    case TimerId::Timer1: scheduler_.Timer1_Timer(); break;
    case TimerId::Timer2: scheduler_.Timer2_Timer(); break;
    case TimerId::TmrChk: scheduler_.TmrChk_Timer(); break;
  }
}

void Program::ClearReportedItems() {
  connectionScan_.ClearSeenProcessIds();
  serviceCheck_.ClearReported();
  registryCheck_.ClearReported();
}

void Program::RunChecksOnce() {
  Tick(TimerId::Timer1);
  Tick(TimerId::Timer2);
  Tick(TimerId::TmrChk);
}

void Program::TreatFindings() { treatment_.TreatFindings(); }

}  // namespace zc
