#pragma once
// Turns a Finding into a TreatmentPlan. Only the bot is taken, never Windows or an
// innocent program:
// - A program that runs another file (a DLL host, a script host, a runtime, the command
//   interpreter, the shared service host) is never the file: its payload is, as named in
//   its command line; a DLL host's payload counts only when the host has it loaded. A
//   host process is ended by its id only; other programs of its name are never ended.
// - A file the system protects or that is signed under Microsoft's root is never taken;
//   a file validly signed by another publisher is not taken on this evidence either.
// - A critical process, one of the session's core processes or a shared service host is
//   never ended; a service whose binary is Windows' own is never changed because of a
//   connection pattern (only one the definitions name may be, and its files stay).

#include "core/definitions/definitions_set.h"
#include "core/engine/command_line_file.h"
#include "core/engine/finding_processes.h"
#include "core/engine/process_end_rules.h"
#include "core/engine/treatment_plan.h"
#include "core/platform/connection_owner_api.h"
#include "core/platform/file_api.h"
#include "core/platform/file_trust_api.h"
#include "core/platform/process_details_api.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/pinned_file_api.h"
#include "core/platform/user_rights_api.h"
#include "core/platform/service_manager_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The machine as the treatment reads and changes it.
struct TreatmentMachine {
  FileApi& files;
  ShellApi& shell;
  ProcessApi& processes;
  ProcessDetailsApi& processDetails;
  RegistryApi& registry;
  ServiceManagerApi& services;
  EnvironmentApi& environment;
  FileTrustApi& trust;
  ConnectionOwnerApi& connectionOwners;
  RawRegistryApi& rawRegistry;  // the shared service host's group lists
  // A user's own rights on a file their hive's value names; none: not checked.
  UserRightsApi* userRights = nullptr;
  // Every step on a suspect file through one opening of it; none: by its path.
  SuspectFileApi* suspectFiles = nullptr;
};

class TreatmentPlanner {
 public:
  TreatmentPlanner(const ConstantTexts& texts, const DefinitionsSet& definitions, const TreatmentMachine& machine,
                   FindingProcesses& suspects)
      : texts_(texts), definitions_(definitions), m_(machine), suspects_(suspects),
        endRules_(machine.processes, machine.processDetails),
        commandLines_(texts, machine.files, machine.environment, machine.processes, machine.registry) {}

  TreatmentPlan Plan(const Finding& finding);

  // The running account's SID, recorded with the values of its own user root.
  void SetRunningUserSid(Text sid) { runningUserSid_ = std::move(sid); }

  // A treatment without administrator rights: a value found in the user's own hive is
  // planned there alone, not under the machine's root as well.
  void SetOwnAccountOnly(bool only) { ownAccountOnly_ = only; }

 private:
  void PlanProcess(const Finding& finding, TreatmentPlan& plan);
  void PlanServiceProcess(const Finding& finding, TreatmentPlan& plan);
  void PlanSharedHost(const Finding& finding, uint32_t id, TreatmentPlan& plan);
  void PlanHiddenService(const Finding& finding, TreatmentPlan& plan);
  void PlanRegistryValue(const Finding& finding, TreatmentPlan& plan);

  // Adds the Finding's process when its id still runs its image and it may be ended.
  void PlanEndProcess(const Finding& finding, uint32_t id, TreatmentPlan& plan);
  // The files a running host's command line names, as its payload.
  CommandTarget ProcessTarget(uint32_t id, TextView image);
  // The files of a command line's target, each checked against the system's trust; the
  // host, where there is one, is noted as kept. True when the target is the program
  // itself (no host), so that its other running copies may be ended.
  bool AddTargetFiles(const CommandTarget& target, TreatmentPlan& plan);
  // True when the file may be taken; otherwise notes why it is kept.
  bool MayTakeFile(TextView path, TreatmentPlan& plan);
  // True when the Finding's file resolution left a file or a command line to take.
  void ResolveCommandLine(const Finding& finding, const CommandContext& context, TreatmentPlan& plan);
  bool NamedByDefinitions(TextView serviceName) const;
  Text ServiceGroupOf(TextView imagePath) const;
  int32_t ServiceRoot() const;

  const ConstantTexts& texts_;
  const DefinitionsSet& definitions_;
  TreatmentMachine m_;
  FindingProcesses& suspects_;
  ProcessEndRules endRules_;
  CommandLineFiles commandLines_;
  bool refusedProcess_ = false;  // the Finding's own process may not be ended
  Text runningUserSid_;
  bool ownAccountOnly_ = false;
  // Whose hive named the Finding's file: only a file that user may delete is taken.
  Text evidenceUser_;
};

}  // namespace zc
