#pragma once
// The whole program behind its window: the definitions set, the row buffer, the
// process inventory, the three checks, the treatment pass, the timers' handlers and the
// main window's logic, joined to the platform's adapters and to the window's view.

#include "core/app/form1.h"
#include "core/app/loaded_definitions.h"
#include "core/definitions/definitions_set.h"
#include "core/definitions/definitions_signer.h"
#include "core/engine/connection_scan.h"
#include "core/engine/listing_source.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/scan_scheduler.h"
#include "core/engine/service_check.h"
#include "core/engine/treatment_pass.h"
#include "core/machine/process_inventory.h"
#include "core/platform/activity_log.h"
#include "core/platform/clock_api.h"
#include "core/platform/console_api.h"
#include "core/platform/elevation_api.h"
#include "core/platform/environment_api.h"
#include "core/platform/service_manager_api.h"
#include "core/platform/file_api.h"
#include "core/platform/http_api.h"
#include "core/platform/process_api.h"
#include "core/platform/window_enum_api.h"
#include "core/platform/connection_owner_api.h"
#include "core/platform/file_trust_api.h"
#include "core/platform/process_details_api.h"

namespace zc {

struct PlatformParts {
  HttpApi& http;
  RegistryApi& registry;
  ProcessApi& processes;
  ConsoleApi& console;
  ListingSource& listings;  // the connection scan's two listings
  ShellApi& shell;
  FileApi& files;
  WindowEnumApi& windows;
  SettingsApi& settings;
  ActivityLog& log;
  TreatmentRecorder& recorder;
  ServiceManagerApi& services;  // the treatment's service steps
  ElevationApi& elevation;      // treatment needs an administrator's token
  ClockApi& clock;              // the definitions set's expiry
  EnvironmentApi& environment;  // command lines in registry values
  ProcessDetailsApi& processDetails;    // a host process's payload, a critical process
  FileTrustApi& trust;                  // Windows' own files and signed files stay
  ConnectionOwnerApi& connectionOwners; // the service that owns a shared host's connection
  RawRegistryApi& rawRegistry;          // the shared service host's group lists
};

struct WindowParts {
  Form1View& view;
  EventPump& pump;
  ResultList& results;
  TimerApi& timers;
};

class Program : private ChecksPort {
 public:
  // `signer`: who must have signed the definitions set (DefinitionsSigner::Unsigned()
  // for a build that takes unsigned sets).
  Program(const ConstantTexts& texts, const PlatformParts& platform, const WindowParts& window,
          const DefinitionsSigner& signer);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Form1& form() { return form_; }
  // A tick of one of the three scan timers.
  void Tick(TimerId timer);

  const DefinitionsSet& definitions() const { return definitions_; }
  const TreatmentPass& treatment() const { return treatment_; }

 private:
  void ClearReportedItems() override;
  void RunChecksOnce() override;
  void TreatFindings() override;

  DefinitionsSet definitions_;
  RowBuffer rowBuffer_;
  ProcessInventory inventory_;
  RegistryInfectionCheck registryCheck_;
  ServiceCheck serviceCheck_;
  ConnectionScan connectionScan_;
  TreatmentPass treatment_;
  LoadedDefinitions loadedDefinitions_;
  Form1 form_;
  ScanScheduler scheduler_;
  // The kill pass's rules; only held by reference until a scan runs.
  ProcessEndRules endRules_;
};

}  // namespace zc
