#include "core/engine/treatment_pass.h"

#include <utility>

#include "core/engine/finding_texts.h"
#include "core/engine/listing_rules.h"
#include "core/engine/quoted_command.h"
#include "core/engine/file_target.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/step_failure.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {

constexpr TextView kCountSuffix = u"건";
constexpr TextView kExplorerCommand = u"explorer.exe ";
constexpr int32_t kServiceDisabled = 4;
constexpr uint32_t kPlaceholderAttributes = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

// Service states in which the service's process is at work: running, starting,
// continuing or paused.
bool IsActiveState(uint32_t state) { return state == 2 || state == 4 || state == 5 || state == 7; }

// The code a check wrote into the Flag cell, without a failure reason a treatment added.
Text FlagCode(TextView flag) { return Text(flag.substr(0, flag.find(u' '))); }

// The service listing joins the services of one process with ", "; such a text names
// several services, never one that may be missing.
bool NamesSeveralServices(TextView detail) { return detail.find(u", ") != TextView::npos; }

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
  restartNeeded_ = false;
  suspects_.Refresh();
  const int32_t rows = results_.RowCount();
  int32_t row = 0;  // the rows above it stay: their treatment was incomplete
  for (int32_t i = 0; i < rows; ++i) {
    failures_.clear();
    const Outcome outcome = Treat(ReadRow(row));
    if (outcome == Outcome::ProgramEnded) return;
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
  if (restartNeeded_) {
    view_.ShowMessage(texts_.Get(enc::RestartNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  }
}

TreatmentPass::Finding TreatmentPass::ReadRow(int32_t row) {
  return {results_.GetCellText(row, kColumnName),   results_.GetCellText(row, kColumnProcessId),
          results_.GetCellText(row, kColumnPath),   results_.GetCellText(row, kColumnDetail),
          results_.GetCellText(row, kColumnKind),   results_.GetCellText(row, kColumnEntryName),
          FlagCode(results_.GetCellText(row, kColumnFlag))};
}

TreatmentPass::Outcome TreatmentPass::Treat(const Finding& finding) {
  if (finding.kind == kKindOutputTunnel || finding.kind == kKindInputTunnel) return TreatProcess(finding);
  if (finding.kind == kKindServiceHide) {
    TreatService(finding);
  } else if (finding.kind == kKindRegistryInfection) {
    TreatRegistryEntry(finding);
  }
  // A row of any other kind is taken off the list untreated.
  return Outcome::Done;
}

TreatmentPass::Outcome TreatmentPass::TreatProcess(const Finding& finding) {
  view_.SetStatusText(texts_.Get(enc::ProcessStatusLead) + finding.name + texts_.Get(enc::ProcessStatusTail));
  BeginBackupFolder(finding);

  // An empty Detail: the service listing no longer had the id, so no service is known.
  // A Detail that names one service the system does not have is the listing's own word
  // for "none" in another language.
  const Text services = TrimSpaces(finding.detail);
  uint32_t state = 0;
  const bool hostsServices =
      services != kNotApplicableText && !services.empty() &&
      (NamesSeveralServices(finding.detail) ||
       services_.QueryState(finding.detail, state) != SystemError::ServiceDoesNotExist);
  if (hostsServices) return TreatServiceHost(finding);

  // A process that hosts no service.
  EndSuspectProcess(finding);
  if (finding.path.empty()) {
    // The process's image could not be read: there is no file to take.
    Fail(finding.name + u": " + texts_.Get(enc::StepReadPath));
    ReportTreatment(ResultLines(finding, BackupState::NothingToLose, false));
    return Outcome::Incomplete;
  }
  if (IsEmptyFile(finding.path)) return failures_.empty() ? Outcome::Done : Outcome::Incomplete;
  const BackupState backup = BackupCopy(finding);
  const bool blocked = RemoveAndBlock(finding, backup);
  ReportTreatment(ResultLines(finding, backup, blocked));
  return Outcome::Done;
}

TreatmentPass::Outcome TreatmentPass::TreatServiceHost(const Finding& finding) {
  // What the service manager says of the service decides (the console's query prints
  // translated texts on a translated system).
  uint32_t state = 0;
  const SystemError query = services_.QueryState(finding.detail, state);
  view_.ShowMessage(texts_.Get(enc::ServiceHostNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  Status(enc::ServiceHostStatus);
  view_.Delay(3);
  const Text serviceKey = texts_.Get(enc::ServiceKeyPrefix) + finding.detail;
  recorder_.ServiceStart(ServiceRoot(), serviceKey, finding.detail);
  // Only the service's existing key is written; a missing one is never made.
  Check(enc::StepDisableService, registry_.SetExistingDword(ServiceRoot(), serviceKey,
                                                             texts_.Get(enc::ServiceFlagValueName), kServiceDisabled));

  BackupState backup = BackupState::NothingToLose;
  bool blocked = false;
  const bool active = query == SystemError::None && IsActiveState(state);
  if (active) {
    EndSuspectProcess(finding);
    Check(enc::StepStopService, services_.Stop(finding.detail));
    if (!IsEmptyFile(finding.path)) {
      backup = BackupCopy(finding);
      blocked = RemoveAndBlock(finding, backup);
    }
    recorder_.ServiceDelete(finding.detail);
    Check(enc::StepDeleteService, services_.Delete(finding.detail));
  } else if (query == SystemError::AccessDenied) {
    view_.ShowMessage(texts_.Get(enc::ExitNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
    view_.EndProgram();
    return Outcome::ProgramEnded;
  } else if (query != SystemError::None) {
    Check(enc::StepStopService, query);
  }

  if (IsEmptyFile(finding.path)) return failures_.empty() ? Outcome::Done : Outcome::Incomplete;
  std::vector<Text> lines = ResultLines(finding, backup, blocked);
  lines.insert(lines.begin() + 1, finding.name + texts_.Get(enc::LogServiceText) + finding.detail +
                                      texts_.Get(enc::LogLineEnd));
  if (!active && failures_.empty()) {
    // A service that is not at work is only kept from starting: its file stays.
    lines.resize(3);
    lines.push_back(finding.name + texts_.Get(enc::LogServiceIdleText) + finding.path + texts_.Get(enc::LogLineEnd));
  }
  ReportTreatment(lines);
  return Outcome::Done;
}

void TreatmentPass::TreatService(const Finding& finding) {
  if (finding.name == kNoneText) return;
  Finding target = finding;
  BackupState backup = BackupState::NothingToLose;  // an empty file has nothing to keep
  if (finding.path != kNoneText) backup = ResolveFile(finding, target);
  const bool hasFile = finding.path != kNoneText && backup == BackupState::NothingToLose;
  BeginBackupFolder(target);
  Check(enc::StepStopService, services_.Stop(finding.detail));
  Status(enc::ServiceHideStatus);
  view_.Delay(3);

  if (hasFile && !IsEmptyFile(target.path)) {
    backup = CopyToStore(target.path, target.name);
    Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(target.name, target.path));
    BackupStatus(backup);
    view_.Delay(1.5f);
  } else if (!hasFile && finding.path != kNoneText) {
    BackupStatus(backup);
  }
  bool blocked = false;
  if (finding.path != kNoneText) {
    blocked = RemoveAndBlock(target, backup);
    recorder_.ServiceDelete(finding.detail);
    Check(enc::StepDeleteService, services_.Delete(finding.detail));
  }
  ReportTreatment(ResultLines(target, backup, blocked));
}

void TreatmentPass::TreatRegistryEntry(const Finding& finding) {
  if (finding.name == kNoneText) return;
  Finding target = finding;
  BackupState backup = ResolveFile(finding, target);
  const bool hasFile = backup == BackupState::NothingToLose;
  BeginBackupFolder(target);
  if (hasFile) {
    backup = CopyToStore(target.path, target.name);
    Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(target.name, target.path));
  }
  const Text keyPath = texts_.Get(enc::InfectionKeyPath);
  const int32_t machine = ServiceRoot();
  if (finding.flag == kFlagFirstRoot32) {
    // Found in the 32-bit view of the machine's root: deleted there and nowhere else. The
    // record names the key by the path that reaches that view from any view.
    recorder_.RegistryValue(machine, Wow32KeyPath(machine, keyPath), finding.entryName);
    Check(enc::StepDeleteValue, registry_.RemoveValue(machine, RegistryView::Wow32, keyPath, finding.entryName));
  } else {
    // Deleted from both roots whether or not it was found in each; a value that is not
    // there counts as deleted.
    const int32_t user = RootKeyFromText(texts_.Get(enc::InfectionRootText));
    recorder_.RegistryValue(user, keyPath, finding.entryName);
    Check(enc::StepDeleteValue, registry_.RemoveValue(user, RegistryView::Native, keyPath, finding.entryName));
    recorder_.RegistryValue(machine, keyPath, finding.entryName);
    Check(enc::StepDeleteValue, registry_.RemoveValue(machine, RegistryView::Native, keyPath, finding.entryName));
  }
  BackupStatus(backup);
  view_.Delay(1.5f);
  if (hasFile && IsEmptyFile(target.path)) return;
  const bool blocked = RemoveAndBlock(target, backup);
  ReportTreatment(ResultLines(target, backup, blocked));
}

BackupState TreatmentPass::ResolveFile(const Finding& finding, Finding& target) {
  target.path = finding.path;
  // A path in folder form, or an existing folder, names no file to take.
  if (!NamesFileOrNothing(files_, finding.path)) return BackupState::NotAFile;
  const Text file = commandLines_.FileOf(finding.path, finding.kind == kKindServiceHide ? TextView(finding.detail)
                                                                                         : TextView());
  if (file.empty()) return BackupState::NotFound;
  // The file is backed up, logged and blocked under its own name: the name the check
  // shows may carry the command line's arguments and quotes.
  target.path = file;
  target.name = FileNameOf(file);
  return BackupState::NothingToLose;
}

void TreatmentPass::BeginBackupFolder(const Finding& finding) {
  currentBackupFolder_ = texts_.Get(enc::BackupPrefix) + BackupName(finding.name);
  lastBackupCopy_.clear();
  // The recorder makes the root and the folder so that only administrators can change
  // them; where it cannot, no copy goes into them and the file stays.
  storeSound_ = recorder_.Begin(currentBackupFolder_, finding.name, finding.kind);
  files_.CreateFolder(texts_.Get(enc::BackupRoot));  // usually there already
  files_.CreateFolder(currentBackupFolder_);         // shared by Findings of one name
}

void TreatmentPass::EndSuspectProcess(const Finding& finding) {
  const uint32_t id = ReadProcessId(finding.processId);
  if (suspects_.RunsImage(id, finding.name, finding.path)) {
    recorder_.EndedProcess(finding.name, id, finding.path);
    Check(enc::StepEndProcess, processes_.TerminateProcessById(static_cast<int32_t>(id)));
  } else {
    log_.Log_Trans(finding.name + texts_.Get(enc::LogStaleProcessText) + finding.processId + texts_.Get(enc::LogLineEnd),
                   LogFolder());
  }
  Check(enc::StepEndProcess, suspects_.EndCopiesOfImage(finding.name, finding.path));
}

BackupState TreatmentPass::CopyToStore(TextView path, TextView name) {
  if (!storeSound_) return BackupState::NotSecured;  // the file stays
  return CopyIntoBackup(files_, path, currentBackupFolder_, name, &lastBackupCopy_);
}

BackupState TreatmentPass::BackupCopy(const Finding& finding) {
  const BackupState backup = CopyToStore(finding.path, finding.name);
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

bool TreatmentPass::RemoveAndBlock(const Finding& finding, BackupState backup) {
  // A folder is never the suspect's file; a text that names no file has none to take.
  if (backup == BackupState::NotAFile || backup == BackupState::NotFound) return false;
  // Without a whole copy the file stays: a false positive must never cost the file.
  if (backup == BackupState::NotSecured) {
    Fail(KeptFileLine(finding));
    return false;
  }
  recorder_.File(finding.path, backup == BackupState::Secured ? TextView(lastBackupCopy_) : TextView());
  Status(enc::AttributeStatus);
  files_.SetAttributes(finding.path, kAttributeNormal);
  view_.Delay(1.5f);
  Status(enc::DeleteStatus);
  if (backup == BackupState::Secured) {
    SystemError removed = files_.RemoveFile(finding.path);
    // A delete reported as done may still leave the file there (another handle holds it
    // with delete sharing; a host file system that refused later).
    if (removed == SystemError::None && !files_.PathIsFree(finding.path)) removed = SystemError::NotConfirmed;
    if (removed != SystemError::None) {
      // A running image cannot be deleted but can be moved away on its own volume.
      const Text aside = FreeBackupPath(files_, currentBackupFolder_, finding.name);
      const bool moved = !aside.empty() && files_.MoveFileTo(finding.path, aside) == SystemError::None &&
                         files_.PathIsFree(finding.path);
      if (moved) {
        log_.Log_Trans(texts_.Get(enc::LogMovedText) + aside + texts_.Get(enc::LogLineEnd), LogFolder());
      } else {
        Check(enc::StepDeleteFile, removed);
        if (files_.RemoveAtRestart(finding.path) == SystemError::None) {
          restartNeeded_ = true;
          Fail(texts_.Get(enc::LogRestartText) + finding.path + texts_.Get(enc::LogLineEnd));
        }
      }
    }
  }
  view_.Delay(2);
  // A folder at the file's own path keeps the file from being written there again; it
  // is made only where nothing is left.
  if (!files_.PathIsFree(finding.path)) {
    // Nothing was copied, yet something is there (a file that could not be measured, or
    // one that came back meanwhile): it stays, and the treatment is not done.
    if (backup == BackupState::NothingToLose) Fail(KeptFileLine(finding));
    return false;
  }
  // Where a file was removed, its placeholder is part of the treatment; at the path of a
  // missing file it is only made where it can be.
  const bool removed = backup == BackupState::Secured;
  const SystemError made = files_.CreateFolder(finding.path);
  if (made != SystemError::None) return removed ? Check(enc::StepPlaceholder, made) : false;
  const SystemError hidden = files_.SetAttributes(finding.path, kPlaceholderAttributes);
  return removed ? Check(enc::StepPlaceholder, hidden) : hidden == SystemError::None;
}

std::vector<Text> TreatmentPass::ResultLines(const Finding& finding, BackupState backup, bool blocked) const {
  const Text pathLine = finding.name + texts_.Get(enc::LogPathText) + finding.path + texts_.Get(enc::LogLineEnd);
  if (!failures_.empty()) {
    std::vector<Text> lines = {finding.name + texts_.Get(enc::LogIncompleteText), pathLine};
    lines.insert(lines.end(), failures_.begin(), failures_.end());
    return lines;
  }
  std::vector<Text> lines = {finding.name + texts_.Get(enc::LogTreatedText), pathLine};
  // The closing lines tell of a backup and a placeholder; a file that stayed gets one
  // line saying so instead.
  if (backup == BackupState::NotAFile) {
    lines.push_back(finding.name + texts_.Get(enc::LogNotAFileText) + finding.path + texts_.Get(enc::LogLineEnd));
  } else if (backup == BackupState::NotFound) {
    lines.push_back(finding.name + texts_.Get(enc::LogFileNotFoundText) + finding.path + texts_.Get(enc::LogLineEnd));
  } else if (blocked) {
    lines.push_back(texts_.Get(enc::LogClosingFirst));
    lines.push_back(texts_.Get(enc::LogClosingSecond));
  }
  return lines;
}

Text TreatmentPass::LogFolder() const {
  // The log file name is appended to the folder directly, so the folder ends with "\".
  Text logFolder = currentBackupFolder_;
  if (!logFolder.empty() && logFolder.back() != u'\\') logFolder.push_back(u'\\');
  return logFolder;
}

void TreatmentPass::ReportTreatment(const std::vector<Text>& lines) {
  const Text logFolder = LogFolder();
  for (const Text& line : lines) log_.Log_Trans(line, logFolder);
  const Text explorer = CommandWithQuotedFolder(kExplorerCommand, currentBackupFolder_);
  if (!explorer.empty()) shell_.Launch(explorer, WindowState::NormalFocused);
}

bool TreatmentPass::Check(TextView step, SystemError error) {
  if (error == SystemError::None) return true;
  Fail(FailedStepText(texts_, step, error));
  return false;
}

void TreatmentPass::Fail(Text line) { failures_.push_back(std::move(line)); }

Text TreatmentPass::KeptFileLine(const Finding& finding) const {
  return finding.name + u": " + texts_.Get(enc::StepBackupFile) + u" [" + finding.path + texts_.Get(enc::LogLineEnd);
}

bool TreatmentPass::IsEmptyFile(TextView path) {
  // A length that cannot be read (a missing file) counts as not empty.
  return files_.FileLength(path) == int64_t{0};
}

void TreatmentPass::Status(TextView enciphered) { view_.SetStatusText(texts_.Get(enciphered)); }

int32_t TreatmentPass::ServiceRoot() const { return RootKeyFromText(texts_.Get(enc::ServiceRootText)); }

}  // namespace zc
