#include "core/engine/treatment_planner.h"

#include <algorithm>

#include "core/engine/file_target.h"
#include "core/engine/finding_texts.h"
#include "core/engine/listing_rules.h"
#include "core/engine/registry_infection_check.h"
#include "core/machine/registry_values.h"
#include "core/platform/result_list.h"

namespace zc {
namespace {

// The service listing joins the services of one process with ", ".
std::vector<Text> ListedServices(TextView detail) {
  std::vector<Text> names;
  size_t start = 0;
  while (start <= detail.size()) {
    const size_t comma = detail.find(u", ", start);
    const Text name = TrimSpaces(detail.substr(start, comma == TextView::npos ? TextView::npos : comma - start));
    if (!name.empty()) names.push_back(name);
    if (comma == TextView::npos) break;
    start = comma + 2;
  }
  return names;
}

bool NamesSeveralServices(TextView detail) { return detail.find(u", ") != TextView::npos; }

bool ContainsFolded(const std::vector<Text>& names, TextView name) {
  const Text folded = FoldCase(name);
  return std::any_of(names.begin(), names.end(), [&](const Text& n) { return FoldCase(n) == folded; });
}

Text Quoted(TextView path) { return u"\"" + Text(path) + u"\""; }

KeptReason KeptFor(EndRefusal refusal) {
  switch (refusal) {
    case EndRefusal::Critical: return KeptReason::CriticalProcess;
    case EndRefusal::CoreProcess: return KeptReason::CoreProcess;
    case EndRefusal::SharedServiceHost: return KeptReason::SharedServiceHost;
    case EndRefusal::CriticalityUnknown:
    case EndRefusal::None: break;
  }
  return KeptReason::CriticalityUnknown;
}

void Keep(TreatmentPlan& plan, KeptReason reason, TextView subject, TextView publisher = {}) {
  KeptItem item{reason, Text(subject), Text(publisher)};
  if (std::find(plan.kept.begin(), plan.kept.end(), item) == plan.kept.end()) plan.kept.push_back(std::move(item));
}

}  // namespace

TreatmentPlan TreatmentPlanner::Plan(const Finding& finding) {
  TreatmentPlan plan;
  refusedProcess_ = false;
  evidenceUser_.clear();
  plan.name = finding.name;
  plan.path = finding.path;
  plan.processId = finding.processId;
  plan.kind = finding.kind;
  if (finding.kind == kKindOutputTunnel || finding.kind == kKindInputTunnel) {
    PlanProcess(finding, plan);
  } else if (finding.kind == kKindServiceHide && finding.name != kNoneText) {
    PlanHiddenService(finding, plan);
  } else if (finding.kind == kKindRegistryInfection && finding.name != kNoneText) {
    PlanRegistryValue(finding, plan);
  }
  return plan;
}

void TreatmentPlanner::PlanProcess(const Finding& finding, TreatmentPlan& plan) {
  const uint32_t id = ReadProcessId(finding.processId);
  // An empty Detail: the service listing no longer had the id, so no service is known.
  // A Detail that names one service the system does not have is the listing's own word
  // for "none" in another language.
  const Text services = TrimSpaces(finding.detail);
  uint32_t state = 0;
  const bool hostsServices =
      services != kNotApplicableText && !services.empty() &&
      (NamesSeveralServices(finding.detail) ||
       m_.services.QueryState(finding.detail, state) != SystemError::ServiceDoesNotExist);
  if (hostsServices) {
    const Text windows = m_.processes.WindowsFolder();
    const bool inWindows = finding.path.empty() || windows.empty() || LiesInFolder(finding.path, windows);
    if (IsServiceHostName(finding.name) && inWindows) {
      PlanSharedHost(finding, id, plan);
    } else {
      PlanServiceProcess(finding, plan);
    }
    return;
  }

  plan.flow = TreatmentFlow::Process;
  PlanEndProcess(finding, id, plan);
  if (finding.path.empty()) {
    plan.noImagePath = true;  // no file to take
    return;
  }
  // The image decides what the program is; the command line, which the process can
  // rewrite, only names a host's payload.
  const CommandTarget program = commandLines_.TargetOf(Quoted(finding.path), {StartedBy::Process, {}, {}, {}});
  if (program.host.empty()) {
    // A core process's or the service host's image is Windows' own, signed or not.
    if (endRules_.IsCoreImage(finding.name, finding.path)) return;
    // The bot's own program: taken even when it has gone, so that its placeholder stands.
    if (MayTakeFile(finding.path, plan)) {
      plan.files.push_back({finding.path, finding.name});
      plan.fileFinding = FileFinding::File;
      plan.endCopiesOfImage = !refusedProcess_;
    }
    return;
  }
  AddTargetFiles(ProcessTarget(id, finding.path), plan);
  Keep(plan, KeptReason::HostProgram, finding.path);
  // The backup folder and the log take the payload's name, as for a command line.
  if (!plan.files.empty()) {
    plan.name = plan.files.front().name;
    plan.path = plan.files.front().path;
  }
}

void TreatmentPlanner::PlanEndProcess(const Finding& finding, uint32_t id, TreatmentPlan& plan) {
  if (!suspects_.RunsImage(id, finding.name, finding.path)) {
    plan.staleProcess = true;
    return;
  }
  const EndRefusal refusal = endRules_.WhyNotEnd(id, finding.name, finding.path);
  if (refusal == EndRefusal::None) {
    plan.processes.push_back({id, finding.name, finding.path});
  } else {
    Keep(plan, KeptFor(refusal), DecimalText(id));
    refusedProcess_ = true;
  }
}

CommandTarget TreatmentPlanner::ProcessTarget(uint32_t id, TextView image) {
  const std::optional<Text> commandLine = m_.processDetails.CommandLine(id);
  const std::optional<Text> folder = m_.processDetails.CurrentFolder(id);
  CommandTarget target;
  if (commandLine) {
    target = commandLines_.TargetOf(*commandLine, {StartedBy::Process, {}, folder ? TextView(*folder) : TextView(), {}});
  }
  // A command line that names another program than the image was rewritten: it tells
  // nothing of the payload.
  if (!commandLine || target.host.empty() || !SameWindowsPath(target.host, image)) {
    CommandTarget unknown;
    unknown.host = Text(image);
    unknown.payloadNotIdentified = true;
    return unknown;
  }
  if (target.dllHost) {
    // The command line is the process's own data: a DLL counts only when it is loaded.
    const std::optional<std::vector<Text>> modules = m_.processDetails.LoadedModules(id);
    std::vector<Text> loaded;
    for (const Text& file : target.files) {
      if (modules && std::any_of(modules->begin(), modules->end(),
                                 [&](const Text& module) { return SameWindowsPath(module, file); })) {
        loaded.push_back(file);
      }
    }
    if (loaded.empty()) target.payloadNotIdentified = true;
    target.files = std::move(loaded);
  }
  return target;
}

bool TreatmentPlanner::AddTargetFiles(const CommandTarget& target, TreatmentPlan& plan) {
  if (!target.host.empty()) {
    Keep(plan, KeptReason::HostProgram, target.host);
    if (target.payloadNotIdentified || target.files.empty()) Keep(plan, KeptReason::PayloadUnknown, target.host);
  }
  for (const Text& file : target.files) {
    if (MayTakeFile(file, plan)) plan.files.push_back({file, Text(FileNameOf(file))});
  }
  if (!plan.files.empty()) plan.fileFinding = FileFinding::File;
  return target.host.empty();
}

bool TreatmentPlanner::MayTakeFile(TextView path, TreatmentPlan& plan) {
  const FileTrust trust = m_.trust.Examine(path);
  if (trust.IsWindows()) {
    Keep(plan, KeptReason::WindowsFile, path);
    return false;
  }
  if (trust.signer == FileSigner::Other) {
    Keep(plan, KeptReason::SignedFile, path, trust.publisher);
    return false;
  }
  // A user's own value names the file: the administrator's rights take it only where that
  // user's own could. Where the user's rights cannot be checked (no token of theirs here)
  // the file is judged as before, by the checks above.
  if (!evidenceUser_.empty() && m_.userRights &&
      m_.userRights->MayDelete(evidenceUser_, path) == DeleteVerdict::MayNot) {
    Keep(plan, KeptReason::UserMayNotDelete, path);
    return false;
  }
  return true;
}

void TreatmentPlanner::PlanServiceProcess(const Finding& finding, TreatmentPlan& plan) {
  plan.flow = TreatmentFlow::ServiceProcess;
  // A service whose binary is Windows' own is changed only when the definitions name it;
  // a connection pattern alone never stops, disables or deletes it, nor ends its process.
  const FileTrust trust = finding.path.empty() ? FileTrust{} : m_.trust.Examine(finding.path);
  if (trust.IsWindows() && !NamedByDefinitions(finding.detail)) {
    Keep(plan, KeptReason::WindowsService, finding.detail);
    return;
  }
  plan.services.push_back({finding.detail, true, true, true, {}});
  PlanEndProcess(finding, ReadProcessId(finding.processId), plan);
  if (!finding.path.empty() && MayTakeFile(finding.path, plan)) {
    plan.files.push_back({finding.path, finding.name});
    plan.fileFinding = FileFinding::File;
    plan.endCopiesOfImage = !refusedProcess_;
  }
}

void TreatmentPlanner::PlanSharedHost(const Finding& finding, uint32_t id, TreatmentPlan& plan) {
  plan.flow = TreatmentFlow::SharedHost;
  Keep(plan, KeptReason::SharedServiceHost, DecimalText(id));
  // The service that owns the connection, as the system tags it; the listing alone
  // tells which service it is only when the host runs one.
  const std::vector<Text> listed = ListedServices(finding.detail);
  std::vector<Text> candidates;
  const std::optional<std::vector<Text>> owners = m_.connectionOwners.ServicesOwningConnections(id);
  if (owners && !owners->empty()) {
    for (const Text& owner : *owners) {
      if (listed.empty() || ContainsFolded(listed, owner)) candidates.push_back(owner);
    }
  } else if (listed.size() == 1) {
    candidates = listed;
  }
  if (candidates.empty()) {
    Keep(plan, KeptReason::NoOwningService, DecimalText(id));
    return;
  }
  for (const Text& service : candidates) {
    const std::optional<ServiceConfig> config = m_.services.QueryConfig(service);
    const Text imagePath = config ? config->imagePath : Text();
    const CommandTarget target =
        commandLines_.TargetOf(imagePath, {StartedBy::ServiceManager, service, {}, {}});
    const Text dll = target.files.empty() ? Text() : target.files.front();
    const bool windowsDll = dll.empty() || m_.trust.Examine(dll).IsWindows();
    if (windowsDll && !NamedByDefinitions(service)) {
      Keep(plan, KeptReason::WindowsService, service);
      continue;
    }
    plan.services.push_back({service, true, true, true, ServiceGroupOf(imagePath)});
    if (!dll.empty() && MayTakeFile(dll, plan)) plan.files.push_back({dll, Text(FileNameOf(dll))});
  }
  if (!plan.files.empty()) {
    plan.fileFinding = FileFinding::File;
    plan.name = plan.files.front().name;
    plan.path = plan.files.front().path;
  }
}

void TreatmentPlanner::PlanHiddenService(const Finding& finding, TreatmentPlan& plan) {
  plan.flow = TreatmentFlow::HiddenService;
  const bool hasPath = finding.path != kNoneText;
  plan.services.push_back({finding.detail, false, true, hasPath, {}});
  if (!hasPath) return;
  ResolveCommandLine(finding, {StartedBy::ServiceManager, finding.detail, {}, {}}, plan);
  plan.services.front().hostGroup = ServiceGroupOf(finding.path);
}

void TreatmentPlanner::PlanRegistryValue(const Finding& finding, TreatmentPlan& plan) {
  plan.flow = TreatmentFlow::AutorunValue;
  const Text keyPath = texts_.Get(enc::InfectionKeyPath);
  const int32_t machine = ServiceRoot();
  const TextView userHiveFlag = kFlagUserHive;
  if (TextView(finding.flag).substr(0, userHiveFlag.size()) == userHiveFlag) {
    // Another user's hive: deleted there and nowhere else.
    PlannedValue value{RootKeyFromText(texts_.Get(enc::InfectionRootText)), RegistryView::Native, keyPath,
                       finding.entryName, finding.flag.substr(userHiveFlag.size()), true};
    plan.values.push_back(std::move(value));
  } else if (finding.flag == kFlagFirstRoot32) {
    // Found in the 32-bit view of the machine's root: deleted there and nowhere else.
    plan.values.push_back({machine, RegistryView::Wow32, keyPath, finding.entryName, {}, false});
  } else if (ownAccountOnly_ && finding.flag == kFlagSecondRoot) {
    // Without administrator rights, a value found in the user's own hive is deleted
    // there alone; a twin under the machine's root is a Finding of its own.
    plan.values.push_back({RootKeyFromText(texts_.Get(enc::InfectionRootText)), RegistryView::Native, keyPath,
                           finding.entryName, runningUserSid_, false});
  } else {
    // Deleted from both roots whether or not it was found in each.
    plan.values.push_back({RootKeyFromText(texts_.Get(enc::InfectionRootText)), RegistryView::Native, keyPath,
                           finding.entryName, runningUserSid_, false});
    plan.values.push_back({machine, RegistryView::Native, keyPath, finding.entryName, {}, false});
  }
  // A value found in a user's hive is that user's: their rights bound what it may take.
  if (finding.flag == kFlagSecondRoot) evidenceUser_ = runningUserSid_;
  CommandContext context{StartedBy::Shell, {}, {}, {}};
  if (!plan.values.empty() && plan.values.front().otherUser) {
    evidenceUser_ = plan.values.front().userSid;
    context.userSid = evidenceUser_;  // its %APPDATA% is that user's folder, not the running account's
  }
  ResolveCommandLine(finding, context, plan);
}

void TreatmentPlanner::ResolveCommandLine(const Finding& finding, const CommandContext& context,
                                          TreatmentPlan& plan) {
  // A path in folder form, or an existing folder, names no file to take.
  if (!NamesFileOrNothing(m_.files, finding.path)) {
    plan.fileFinding = FileFinding::NotAFile;
    return;
  }
  const CommandTarget target = commandLines_.TargetOf(finding.path, context);
  if (target.userVariablesUnknown) {
    Keep(plan, KeptReason::UserVariablesUnknown, finding.path);
    return;
  }
  if (target.files.empty() && target.host.empty()) {
    plan.fileFinding = FileFinding::NotFound;
    return;
  }
  const bool ownProgram = AddTargetFiles(target, plan);
  plan.endCopiesOfImage = ownProgram && !plan.files.empty();
  // The files are backed up, logged and blocked under their own names: the name the
  // check shows may carry the command line's arguments and quotes.
  if (!plan.files.empty()) {
    plan.name = plan.files.front().name;
    plan.path = plan.files.front().path;
  }
}

bool TreatmentPlanner::NamedByDefinitions(TextView serviceName) const {
  const Text name = TrimSpaces(serviceName);
  if (name.empty()) return false;
  return ContainsFolded(definitions_.ServiceNameList, name);
}

Text TreatmentPlanner::ServiceGroupOf(TextView imagePath) const {
  // "...\svchost.exe -k group [-p] [-s service]": the group after "-k", any letter case.
  const Text folded = FoldCase(imagePath);
  if (folded.find(u"svchost") == Text::npos) return {};
  size_t at = folded.find(u" -k ");
  if (at == Text::npos) return {};
  at += 4;
  while (at < imagePath.size() && imagePath[at] == u' ') ++at;
  size_t end = at;
  while (end < imagePath.size() && imagePath[end] != u' ' && imagePath[end] != u'\t') ++end;
  return Text(imagePath.substr(at, end - at));
}

int32_t TreatmentPlanner::ServiceRoot() const { return RootKeyFromText(texts_.Get(enc::ServiceRootText)); }

}  // namespace zc
