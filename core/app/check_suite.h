#pragma once
// The checks and the treatment over one definitions set and one result list, as both
// the window and a silent run use them: the definitions' download and judgement, the
// registry, service and connection checks, the treatment pass, and the events each
// Finding and each treatment leaves in the Windows event log.

#include "core/app/finding_events.h"
#include "core/app/loaded_definitions.h"
#include "core/app/platform_parts.h"
#include "core/definitions/definitions_set.h"
#include "core/definitions/definitions_signer.h"
#include "core/engine/connection_scan.h"
#include "core/engine/process_end_rules.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/service_check.h"
#include "core/engine/treatment_pass.h"
#include "core/machine/process_inventory.h"
#include "core/platform/main_window_view.h"
#include "core/platform/result_list.h"

namespace zc {

class CheckSuite {
 public:
  // `rows`: the list the checks fill and the pass treats; `view`: where the pass shows
  // its status and messages; `definitionsAddress`: the machine policy's address of the
  // definitions, empty for the built-in one.
  CheckSuite(const ConstantTexts& texts, const PlatformParts& platform, ResultList& rows, MainWindowView& view,
             const DefinitionsSigner& signer, Text definitionsAddress = {});
  CheckSuite(const CheckSuite&) = delete;
  CheckSuite& operator=(const CheckSuite&) = delete;

  const DefinitionsSet& definitions() const { return definitions_; }
  LoadedDefinitions& loadedDefinitions() { return loadedDefinitions_; }
  RegistryInfectionCheck& registryCheck() { return registryCheck_; }
  ServiceCheck& serviceCheck() { return serviceCheck_; }
  ConnectionScan& connectionScan() { return connectionScan_; }
  TreatmentPass& treatment() { return treatment_; }
  const TreatmentPass& treatment() const { return treatment_; }

  // Finds whose hives the autorun check reads (the person at the keyboard's, or every
  // loaded one for LocalSystem) and whose SID the treatment records with a user value.
  void ChooseUserHives();
  const UserHiveChoice& UserHivesRead() const { return registryCheck_.UserHivesRead(); }

  // Runs each of the three checks once.
  void RunChecksOnce();
  // Empties the lists of already reported items of the three checks.
  void ClearReportedItems();
  // Treats every listed Finding, then writes one event per Finding: treated, or the
  // steps that failed.
  void TreatFindings();

  // How many listed Findings the pass would leave for an administrator (it runs
  // without administrator rights and keeps the account's own store); changes nothing.
  int32_t FindingsNeedingAdministrator();

  // The event's text for one treated Finding.
  static Text TreatmentEventText(const TreatedFinding& treated);

 private:
  const ConstantTexts& texts_;
  EventLogApi& events_;
  UserHivesApi& userHives_;
  DefinitionsSet definitions_;
  RowBuffer rowBuffer_;
  ProcessInventory inventory_;
  ProcessEndRules endRules_;
  FindingEvents rows_;
  RegistryInfectionCheck registryCheck_;
  ServiceCheck serviceCheck_;
  ConnectionScan connectionScan_;
  TreatmentPass treatment_;
  LoadedDefinitions loadedDefinitions_;
};

}  // namespace zc
