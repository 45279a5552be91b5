#include "core/engine/treatment_pass.h"

#include <utility>

#include "core/engine/file_target.h"
#include "core/engine/finding_texts.h"
#include "core/engine/step_failure.h"
#include "core/restore/service_group_list.h"
#include "core/machine/registry_values.h"
#include "core/platform/raw_registry_api.h"

namespace zc {
namespace {

constexpr TextView kCountSuffix = u"건";
constexpr int32_t kServiceDisabled = 4;
constexpr uint32_t kServiceStopped = 1;
constexpr uint32_t kPlaceholderAttributes = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

// Service states in which the service's process is at work: running, starting,
// continuing or paused.
bool IsActiveState(uint32_t state) { return state == 2 || state == 4 || state == 5 || state == 7; }

}  // namespace

void TreatmentPass::TreatFindings() {
  if (running_) return;
  struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
  } running(running_);
  currentBackupFolder_.clear();
  incompleteCount_ = 0;
  leftForAdministrator_ = 0;
  restartNeeded_ = false;
  lastPass_.clear();
  suspects_.Refresh();
  const int32_t rows = results_.RowCount();
  int32_t row = 0;  // the rows above it stay: their treatment was incomplete
  for (int32_t i = 0; i < rows; ++i) {
    failures_.clear();
    keptLines_.clear();
    restartLines_ = 0;
    beganBackupFolder_ = false;
    TreatedFinding treated;
    treated.finding = ReadRow(row);
    treated.plan = planner_.Plan(treated.finding);
    const std::vector<Text> administratorSteps = NeedsAdministrator(treated.plan);
    if (!administratorSteps.empty()) {
      LeaveForAdministrator(row++, treated, administratorSteps);
      continue;
    }
    const Outcome outcome = Carry(treated.plan);
    pinned_.clear();  // every folder held for this Finding's files is let go
    pinRefused_.clear();
    treated.failures = failures_;
    if (beganBackupFolder_) treated.backupFolder = currentBackupFolder_;
    if (outcome == Outcome::ProgramEnded) {
      treated.failures.push_back(texts_.Get(enc::ExitNotice));
      lastPass_.push_back(std::move(treated));
      ++incompleteCount_;
      return;
    }
    treated.done = outcome == Outcome::Done && failures_.empty();
    treated.waitsForRestart =
        outcome == Outcome::Done && restartLines_ > 0 && restartLines_ == static_cast<int32_t>(failures_.size());
    lastPass_.push_back(std::move(treated));
    if (outcome == Outcome::Incomplete || !failures_.empty()) {
      ++incompleteCount_;
      // The check's code stays at the front of the cell: it tells the next treatment where
      // a registry value was found.
      const Text code = FlagCode(results_.GetCellText(row, kColumnFlag));
      const Text reason = failures_.empty() ? Text() : failures_.front();
      results_.SetCellText(row, kColumnFlag, code.empty() ? reason : code + u" " + reason);
      ++row;
      continue;
    }
    ++treatedCount_;
    view_.SetTreatedCountText(DecimalText(treatedCount_) + Text(kCountSuffix));
    results_.DeleteRow(row);
  }
  if (incompleteCount_ > 0) Status(enc::IncompleteStatus);
  if (leftForAdministrator_ > 0) {
    view_.SetStatusText(texts_.Get(enc::AdminLeftStatusLead) + DecimalText(leftForAdministrator_) +
                        texts_.Get(enc::AdminLeftStatusTail));
  }
  if (restartNeeded_) {
    view_.ShowMessage(texts_.Get(enc::RestartNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  }
}

TreatmentPass::Outcome TreatmentPass::Carry(const TreatmentPlan& plan) {
  switch (plan.flow) {
    case TreatmentFlow::Process: return CarryProcess(plan);
    case TreatmentFlow::ServiceProcess: return CarryServiceProcess(plan);
    case TreatmentFlow::SharedHost: return CarrySharedHost(plan);
    case TreatmentFlow::HiddenService: CarryHiddenService(plan); break;
    case TreatmentFlow::AutorunValue: CarryRegistryValue(plan); break;
    case TreatmentFlow::Nothing: break;  // taken off the list untreated
  }
  return Outcome::Done;
}

TreatmentPass::Outcome TreatmentPass::CarryProcess(const TreatmentPlan& plan) {
  view_.SetStatusText(texts_.Get(enc::ProcessStatusLead) + plan.name + texts_.Get(enc::ProcessStatusTail));
  BeginBackupFolder(plan);
  EndProcesses(plan);
  NoteKept(plan);
  if (plan.noImagePath) {
    // The process's image could not be read: there is no file to take.
    Fail(plan.name + u": " + texts_.Get(enc::StepReadPath));
    ReportTreatment(ResultLines(plan, BackupState::NothingToLose, false));
    return Outcome::Incomplete;
  }
  if (plan.files.size() == 1 && IsEmptyFile(plan.files.front().path)) {
    return failures_.empty() ? Outcome::Done : Outcome::Incomplete;
  }
  BackupState backup = BackupState::NothingToLose;
  const bool blocked = TakeFiles(plan, backup, true);
  ReportTreatment(ResultLines(plan, backup, blocked));
  return Outcome::Done;
}

TreatmentPass::Outcome TreatmentPass::CarryServiceProcess(const TreatmentPlan& plan) {
  view_.SetStatusText(texts_.Get(enc::ProcessStatusLead) + plan.name + texts_.Get(enc::ProcessStatusTail));
  BeginBackupFolder(plan);
  if (plan.services.empty()) {
    // A Windows service: nothing is changed, and the row says why.
    NoteKept(plan);
    ReportTreatment(ResultLines(plan, BackupState::NothingToLose, false));
    return Outcome::Incomplete;
  }
  const PlannedService& service = plan.services.front();
  // What the service manager says of the service decides (the console's query prints
  // translated texts on a translated system).
  uint32_t state = 0;
  const SystemError query = m_.services.QueryState(service.name, state);
  view_.ShowMessage(texts_.Get(enc::ServiceHostNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  Status(enc::ServiceHostStatus);
  view_.Delay(3);
  DisableService(service);

  BackupState backup = BackupState::NothingToLose;
  bool blocked = false;
  const bool active = query == SystemError::None && IsActiveState(state);
  if (active) {
    // The service is stopped first, through its manager, then its process ended if it
    // is still there.
    StopService(service);
    EndProcesses(plan);
    const bool hasFile = !plan.files.empty() && !IsEmptyFile(plan.files.front().path);
    if (hasFile) blocked = TakeFiles(plan, backup, true);
    DeleteService(service);
  } else if (query == SystemError::AccessDenied) {
    view_.ShowMessage(texts_.Get(enc::ExitNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
    view_.EndProgram();
    return Outcome::ProgramEnded;
  } else if (query != SystemError::None) {
    Check(enc::StepStopService, query);
  }
  NoteKept(plan);

  if (IsEmptyFile(plan.path)) return failures_.empty() ? Outcome::Done : Outcome::Incomplete;
  std::vector<Text> lines = ResultLines(plan, backup, blocked);
  lines.insert(lines.begin() + 1, plan.name + texts_.Get(enc::LogServiceText) + service.name +
                                      texts_.Get(enc::LogLineEnd));
  if (!active && failures_.empty()) {
    // A service that is not at work is only kept from starting: its file stays.
    lines.resize(3);
    lines.push_back(plan.name + texts_.Get(enc::LogServiceIdleText) + plan.path + texts_.Get(enc::LogLineEnd));
  }
  ReportTreatment(lines);
  return Outcome::Done;
}

TreatmentPass::Outcome TreatmentPass::CarrySharedHost(const TreatmentPlan& plan) {
  BeginBackupFolder(plan);
  view_.ShowMessage(texts_.Get(enc::ServiceHostNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  Status(enc::ServiceHostStatus);
  view_.Delay(3);
  // The host stays: only the bot's service is kept from starting, stopped through the
  // service manager and deleted; its DLL is the file.
  for (const PlannedService& service : plan.services) {
    DisableService(service);
    StopService(service);
  }
  BackupState backup = BackupState::NothingToLose;
  const bool blocked = TakeFiles(plan, backup, true);
  for (const PlannedService& service : plan.services) DeleteService(service);
  NoteKept(plan);
  std::vector<Text> lines = ResultLines(plan, backup, blocked);
  for (const PlannedService& service : plan.services) {
    lines.insert(lines.begin() + 1, plan.name + texts_.Get(enc::LogServiceText) + service.name +
                                        texts_.Get(enc::LogLineEnd));
  }
  ReportTreatment(lines);
  return plan.services.empty() ? Outcome::Incomplete : Outcome::Done;
}

void TreatmentPass::CarryHiddenService(const TreatmentPlan& plan) {
  const PlannedService& service = plan.services.front();
  BeginBackupFolder(plan);
  StopService(service);
  Status(enc::ServiceHideStatus);
  view_.Delay(3);

  BackupState backup = BackupState::NothingToLose;  // an empty file has nothing to keep
  const bool hasFile = plan.fileFinding == FileFinding::File && !IsEmptyFile(plan.files.front().path);
  if (hasFile) {
    backup = CopyToStore(plan.files.front());
    if (plan.endCopiesOfImage) {
      Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(plan.files.front().name, plan.files.front().path));
    }
    BackupStatus(backup);
    view_.Delay(1.5f);
  } else if (plan.fileFinding == FileFinding::NotAFile || plan.fileFinding == FileFinding::NotFound) {
    BackupStatus(plan.fileFinding == FileFinding::NotAFile ? BackupState::NotAFile : BackupState::NotFound);
  }
  bool blocked = false;
  if (service.remove) {
    if (hasFile) blocked = TakeFiles(plan, backup, false);
    DeleteService(service);
  }
  NoteKept(plan);
  ReportTreatment(ResultLines(plan, hasFile ? backup : FileBackupState(plan), blocked));
}

void TreatmentPass::CarryRegistryValue(const TreatmentPlan& plan) {
  BeginBackupFolder(plan);
  const bool hasFile = plan.fileFinding == FileFinding::File;
  BackupState backup = FileBackupState(plan);
  if (hasFile) {
    backup = CopyToStore(plan.files.front());
    if (plan.endCopiesOfImage) {
      Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(plan.files.front().name, plan.files.front().path));
    }
  }
  DeleteValues(plan);
  BackupStatus(backup);
  view_.Delay(1.5f);
  NoteKept(plan);
  if (hasFile && plan.files.size() == 1 && IsEmptyFile(plan.files.front().path)) return;
  const bool blocked = hasFile ? TakeFiles(plan, backup, false) : false;
  ReportTreatment(ResultLines(plan, backup, blocked));
}

BackupState TreatmentPass::FileBackupState(const TreatmentPlan& plan) {
  switch (plan.fileFinding) {
    case FileFinding::NotAFile: return BackupState::NotAFile;
    case FileFinding::NotFound: return BackupState::NotFound;
    case FileFinding::File:
    case FileFinding::None: break;
  }
  return BackupState::NothingToLose;
}

void TreatmentPass::BeginBackupFolder(const TreatmentPlan& plan) {
  currentBackupFolder_ = recorder_.StoreRoot() + u"\\" + BackupName(plan.name);
  beganBackupFolder_ = true;
  lastBackupCopy_.clear();
  // The recorder makes the root and the folder so that only the store's keepers can
  // change them; where it cannot, no copy goes into them and the file stays.
  storeSound_ = recorder_.Begin(currentBackupFolder_, plan.name, plan.kind);
  m_.files.CreateFolder(recorder_.StoreRoot());  // usually there already
  m_.files.CreateFolder(currentBackupFolder_);   // shared by Findings of one name
}

void TreatmentPass::EndProcesses(const TreatmentPlan& plan) {
  for (const PlannedProcess& process : plan.processes) {
    // Asked again right before: the id may have been handed to another program since.
    if (suspects_.RunsImage(process.id, process.name, process.image)) {
      recorder_.EndedProcess(process.name, process.id, process.image);
      Check(enc::StepEndProcess, m_.processes.TerminateProcessById(static_cast<int32_t>(process.id)));
    } else {
      log_.Log_Trans(process.name + texts_.Get(enc::LogStaleProcessText) + DecimalText(process.id) +
                         texts_.Get(enc::LogLineEnd),
                     LogFolder());
    }
  }
  if (plan.staleProcess) {
    log_.Log_Trans(plan.name + texts_.Get(enc::LogStaleProcessText) + plan.processId + texts_.Get(enc::LogLineEnd),
                   LogFolder());
  }
  if (plan.endCopiesOfImage) Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(plan.name, plan.path));
}

void TreatmentPass::DisableService(const PlannedService& service) {
  if (!service.disable) return;
  const Text serviceKey = texts_.Get(enc::ServiceKeyPrefix) + service.name;
  recorder_.ServiceStart(ServiceRoot(), serviceKey, service.name);
  // Only the service's existing key is written; a missing one is never made.
  Check(enc::StepDisableService, m_.registry.SetExistingDword(ServiceRoot(), serviceKey,
                                                              texts_.Get(enc::ServiceFlagValueName),
                                                              kServiceDisabled));
}

void TreatmentPass::StopService(const PlannedService& service) {
  if (!service.stop) return;
  const SystemError stop = m_.services.Stop(service.name);
  if (stop == SystemError::None) return;
  // The answer to the request is not the last word: a service whose process ended
  // meanwhile answers that it cannot accept the request, yet it has stopped.
  uint32_t state = 0;
  const SystemError query = m_.services.QueryState(service.name, state);
  if (query == SystemError::ServiceDoesNotExist || (query == SystemError::None && state == kServiceStopped)) return;
  Check(enc::StepStopService, stop);
}

void TreatmentPass::DeleteService(const PlannedService& service) {
  if (!service.remove) return;
  recorder_.ServiceDelete(service.name);
  // The shared host's group lists name the service: it leaves them (they are in the
  // record now) before it goes.
  for (const Text& group : GroupsListing(texts_, m_.rawRegistry, service.name)) {
    if (RemoveFromServiceGroup(texts_, m_.rawRegistry, group, service.name) == GroupListChange::Failed) {
      Fail(texts_.Get(enc::StepLeaveServiceGroup) + u" [" + group + texts_.Get(enc::LogLineEnd));
    }
  }
  Check(enc::StepDeleteService, m_.services.Delete(service.name));
}

void TreatmentPass::DeleteValues(const TreatmentPlan& plan) {
  for (const PlannedValue& value : plan.values) {
    // Recorded by its logical key and its view, so that it goes back where it was.
    recorder_.RegistryValue(value.root, value.view, value.keyPath, value.valueName, value.userSid);
    if (value.otherUser) {
      Check(enc::StepDeleteValue, m_.registry.RemoveValue(kUsersRoot, value.view, value.userSid + u"\\" + value.keyPath,
                                                          value.valueName));
    } else {
      Check(enc::StepDeleteValue, m_.registry.RemoveValue(value.root, value.view, value.keyPath, value.valueName));
    }
  }
}

BackupState TreatmentPass::CopyToStore(const PlannedFile& file) {
  if (!storeSound_) return BackupState::NotSecured;  // the file stays
  if (m_.suspectFiles) return CopyPinned(file);
  return CopyIntoBackup(m_.files, file.path, currentBackupFolder_, file.name, &lastBackupCopy_);
}

BackupState TreatmentPass::BackupCopy(const PlannedFile& file) {
  const BackupState backup = CopyToStore(file);
  BackupStatus(backup);
  view_.Delay(1.5f);
  return backup;
}

void TreatmentPass::BackupStatus(BackupState backup) {
  switch (backup) {
    case BackupState::Secured: Status(enc::BackupDoneStatus); return;
    case BackupState::NothingToLose:
    case BackupState::NotFound: Status(enc::NoFileStatus); return;
    case BackupState::NotSecured:
    case BackupState::NotAFile: Status(enc::FileKeptStatus); return;
  }
}

bool TreatmentPass::TakeFiles(const TreatmentPlan& plan, BackupState& backup, bool copyFirst) {
  bool blocked = !plan.files.empty();
  for (size_t i = 0; i < plan.files.size(); ++i) {
    const PlannedFile& file = plan.files[i];
    BackupState state = backup;
    if (copyFirst) {
      state = BackupCopy(file);
    } else if (i > 0) {
      state = CopyToStore(file);
    }
    if (i == 0) backup = state;
    blocked = RemoveAndBlock(file, state) && blocked;
  }
  return blocked;
}

bool TreatmentPass::RemoveAndBlock(const PlannedFile& file, BackupState backup) {
  // A folder is never the suspect's file; a text that names no file has none to take.
  if (backup == BackupState::NotAFile || backup == BackupState::NotFound) return false;
  // Without a whole copy the file stays: a false positive must never cost the file.
  if (backup == BackupState::NotSecured) {
    Fail(KeptFileLine(file));
    return false;
  }
  recorder_.File(file.path, backup == BackupState::Secured ? TextView(lastBackupCopy_) : TextView());
  if (m_.suspectFiles && !TakenByPath(file)) return RemoveAndBlockPinned(file, backup);
  Status(enc::AttributeStatus);
  m_.files.SetAttributes(file.path, kAttributeNormal);
  view_.Delay(1.5f);
  Status(enc::DeleteStatus);
  if (backup == BackupState::Secured) {
    SystemError removed = m_.files.RemoveFile(file.path);
    // A delete reported as done may still leave the file there (another handle holds it
    // with delete sharing; a host file system that refused later).
    if (removed == SystemError::None && !m_.files.PathIsFree(file.path)) removed = SystemError::NotConfirmed;
    if (removed != SystemError::None) {
      // A running image cannot be deleted but can be moved away on its own volume.
      const Text aside = FreeBackupPath(m_.files, currentBackupFolder_, file.name);
      const bool moved = !aside.empty() && m_.files.MoveFileTo(file.path, aside) == SystemError::None &&
                         m_.files.PathIsFree(file.path);
      if (moved) {
        log_.Log_Trans(texts_.Get(enc::LogMovedText) + aside + texts_.Get(enc::LogLineEnd), LogFolder());
      } else {
        Check(enc::StepDeleteFile, removed);
        QueueForRestart(file);
      }
    }
  }
  view_.Delay(2);
  // A folder at the file's own path keeps the file from being written there again; it
  // is made only where nothing is left.
  if (!m_.files.PathIsFree(file.path)) {
    // Nothing was copied, yet something is there (a file that could not be measured, or
    // one that came back meanwhile): it stays, and the treatment is not done.
    if (backup == BackupState::NothingToLose) Fail(KeptFileLine(file));
    return false;
  }
  // Where a file was removed, its placeholder is part of the treatment; at the path of a
  // missing file it is only made where it can be.
  const bool removed = backup == BackupState::Secured;
  const SystemError made = m_.files.CreateFolder(file.path);
  if (made != SystemError::None) return removed ? Check(enc::StepPlaceholder, made) : false;
  const SystemError hidden = m_.files.SetAttributes(file.path, kPlaceholderAttributes);
  return removed ? Check(enc::StepPlaceholder, hidden) : hidden == SystemError::None;
}

bool TreatmentPass::Check(TextView step, SystemError error) {
  if (error == SystemError::None) return true;
  Fail(FailedStepText(texts_, step, error));
  return false;
}

void TreatmentPass::Fail(Text line) { failures_.push_back(std::move(line)); }

bool TreatmentPass::IsEmptyFile(TextView path) {
  // A length that cannot be read (a missing file) counts as not empty.
  return m_.files.FileLength(path) == int64_t{0};
}

void TreatmentPass::Status(TextView enciphered) { view_.SetStatusText(texts_.Get(enciphered)); }

int32_t TreatmentPass::ServiceRoot() const { return RootKeyFromText(texts_.Get(enc::ServiceRootText)); }

}  // namespace zc
