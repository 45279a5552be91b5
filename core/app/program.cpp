#include "core/app/program.h"

namespace zc {

Program::Program(const ConstantTexts& texts, const PlatformParts& platform, const WindowParts& window,
                 const DefinitionsSigner& signer, const ProgramPolicies& policies)
    : texts_(texts),
      view_(window.view),
      treatmentLock_(platform.treatmentLock),
      suite_(texts, platform, window.results, window.view, signer, policies.definitionsAddress),
      form_({texts, window.view, window.pump, window.results, platform.settings, platform.registry,
             platform.shell, window.timers, suite_.loadedDefinitions(), *this, platform.log, platform.elevation},
            policies),
      scheduler_(texts, window.timers, suite_.registryCheck(), suite_.serviceCheck(), suite_.connectionScan(),
                 window.view, platform.windows, [this] { form_.Check2_Click(); }) {
  suite_.ChooseUserHives();
}

void Program::Tick(TimerId timer) {
  if (form_.Ended()) return;
  switch (timer) {
    case TimerId::Timer1: scheduler_.Timer1_Timer(); break;
    case TimerId::Timer2: scheduler_.Timer2_Timer(); break;
    case TimerId::TmrChk: scheduler_.TmrChk_Timer(); break;
  }
}

void Program::ClearReportedItems() { suite_.ClearReportedItems(); }

void Program::TreatFindings() {
  const HeldTreatmentLock lock(treatmentLock_);
  if (!lock.Held()) {
    view_.ShowMessage(texts_.Get(enc::AnotherCopyTreating), texts_.Get(enc::MessageTitle), MessageIcon::Information);
    return;
  }
  suite_.TreatFindings();
}

int32_t Program::FindingsNeedingAdministrator() { return suite_.FindingsNeedingAdministrator(); }

void Program::RunChecksOnce() {
  Tick(TimerId::Timer1);
  Tick(TimerId::Timer2);
  Tick(TimerId::TmrChk);
}

}  // namespace zc
