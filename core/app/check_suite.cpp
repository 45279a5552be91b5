#include "core/app/check_suite.h"

#include "core/platform/event_ids.h"

namespace zc {

CheckSuite::CheckSuite(const ConstantTexts& texts, const PlatformParts& platform, ResultList& rows,
                       MainWindowView& view, const DefinitionsSigner& signer, Text definitionsAddress)
    : texts_(texts),
      events_(platform.events),
      userHives_(platform.userHives),
      inventory_(platform.processes),
      endRules_(platform.processes, platform.processDetails),
      rows_(rows, platform.events),
      registryCheck_(texts, definitions_, platform.registry, rows_, rowBuffer_),
      serviceCheck_(texts, definitions_, platform.registry, rows_, rowBuffer_),
      connectionScan_(texts, definitions_, platform.listings, inventory_, endRules_, platform.shell, platform.registry,
                      rows_, rowBuffer_),
      treatment_(texts, definitions_, rows_, view, platform.log,
                 {platform.files, platform.shell, platform.processes, platform.processDetails, platform.registry,
                  platform.services, platform.environment, platform.trust, platform.connectionOwners,
                  platform.rawRegistry, &platform.userRights, &platform.suspectFiles},
                 platform.recorder),
      loadedDefinitions_(texts, platform.http, platform.settings, platform.clock, definitions_, signer,
                         platform.events, std::move(definitionsAddress)) {}

void CheckSuite::ChooseUserHives() {
  const UserHives hives = userHives_.Read();
  registryCheck_.SetUserHives(zc::ChooseUserHives(hives));
  treatment_.SetRunningUserSid(hives.runningUser.value_or(Text()));
}

void CheckSuite::RunChecksOnce() {
  registryCheck_.Run();
  serviceCheck_.Run();
  connectionScan_.ScanConnections();
}

void CheckSuite::ClearReportedItems() {
  connectionScan_.ClearSeenProcessIds();
  serviceCheck_.ClearReported();
  registryCheck_.ClearReported();
}

int32_t CheckSuite::FindingsNeedingAdministrator() {
  int32_t count = 0;
  for (int32_t row = 0; row < rows_.RowCount(); ++row) {
    if (!treatment_.NeedsAdministrator(treatment_.Preview(treatment_.ReadRow(row))).empty()) ++count;
  }
  return count;
}

Text CheckSuite::TreatmentEventText(const TreatedFinding& treated) {
  Text text = treated.finding.kind + u"\r\n" + treated.finding.name + u"\r\n" + treated.finding.path;
  for (const Text& failure : treated.failures) text += u"\r\n" + failure;
  return text;
}

void CheckSuite::TreatFindings() {
  if (treatment_.Running()) return;  // a click handled inside one of the pass's waits
  treatment_.TreatFindings();
  for (const TreatedFinding& treated : treatment_.LastPass()) {
    if (treated.plan.flow == TreatmentFlow::Nothing) continue;
    events_.Report(treated.done ? events::kTreatmentDone : events::kTreatmentIncomplete, TreatmentEventText(treated));
  }
}

}  // namespace zc
