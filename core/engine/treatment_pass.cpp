#include "core/engine/treatment_pass.h"

#include <array>
#include <utility>

#include "core/engine/finding_texts.h"
#include "core/engine/listing_rules.h"
#include "core/engine/quoted_command.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {

constexpr TextView kCountSuffix = u"건";
constexpr TextView kExplorerCommand = u"explorer.exe ";
constexpr int32_t kServiceDisabled = 4;
constexpr uint32_t kPlaceholderAttributes = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

// An empty marker (a constant that did not decipher) matches nothing.
bool ContainsMarker(TextView output, TextView marker) {
  return !marker.empty() && Contains(output, marker);
}

}  // namespace

void TreatmentPass::TreatFindings() {
  if (running_) return;
  struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
  } running(running_);
  currentBackupFolder_.clear();
  suspects_.Refresh();
  const int32_t rows = results_.RowCount();
  for (int32_t i = 0; i < rows; ++i) {
    if (Treat(ReadTopRow()) == Outcome::ProgramEnded) break;
    ++treatedCount_;
    view_.SetTreatedCountText(DecimalText(treatedCount_) + Text(kCountSuffix));
    results_.DeleteRow(0);
  }
}

TreatmentPass::Finding TreatmentPass::ReadTopRow() {
  return {results_.GetCellText(0, kColumnName),   results_.GetCellText(0, kColumnProcessId),
          results_.GetCellText(0, kColumnPath),   results_.GetCellText(0, kColumnDetail),
          results_.GetCellText(0, kColumnKind),   results_.GetCellText(0, kColumnEntryName)};
}

TreatmentPass::Outcome TreatmentPass::Treat(const Finding& finding) {
  if (finding.kind == kKindOutputTunnel || finding.kind == kKindInputTunnel) return TreatProcess(finding);
  if (finding.kind == kKindServiceHide) {
    TreatService(finding);
  } else if (finding.kind == kKindRegistryInfection) {
    TreatRegistryEntry(finding);
  }
  // A row of any other kind is taken off the list untreated.
  return Outcome::Treated;
}

TreatmentPass::Outcome TreatmentPass::TreatProcess(const Finding& finding) {
  view_.SetStatusText(texts_.Get(enc::ProcessStatusLead) + finding.name + texts_.Get(enc::ProcessStatusTail));
  BeginBackupFolder(finding);

  // An empty Detail: the service listing no longer had the id, so no service is known.
  const Text services = TrimSpaces(finding.detail);
  if (services == kNotApplicableText || services.empty()) {
    // A process that hosts no service.
    EndSuspectProcess(finding);
    if (IsEmptyFile(finding.path)) return Outcome::Treated;
    const BackupState backup = BackupCopy(finding);
    RemoveAndBlock(finding, backup);
    ReportTreatment(StandardLines(finding, backup));
    return Outcome::Treated;
  }

  // A process that hosts services: what the service query prints decides.
  const Text query = CommandWithQuotedArgument(texts_.Get(enc::ServiceQueryCommand), finding.detail);
  const Text output = query.empty() ? Text() : console_.RunCapture(query);
  view_.ShowMessage(texts_.Get(enc::ServiceHostNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
  Status(enc::ServiceHostStatus);
  view_.Delay(3);
  const Text serviceKey = texts_.Get(enc::ServiceKeyPrefix) + finding.detail;
  recorder_.ServiceStart(ServiceRoot(), serviceKey, finding.detail);
  registry_.WriteRegistryDword(ServiceRoot(), serviceKey, texts_.Get(enc::ServiceFlagValueName), kServiceDisabled);

  BackupState backup = BackupState::NothingToLose;
  const std::array<TextView, 4> killMarkers = {enc::KillMarker1, enc::KillMarker2, enc::KillMarker3,
                                               enc::KillMarker4};
  bool kill = false;
  for (const TextView marker : killMarkers) kill = kill || ContainsMarker(output, texts_.Get(marker));
  if (kill) {
    EndSuspectProcess(finding);
    if (!IsEmptyFile(finding.path)) {
      backup = BackupCopy(finding);
      RemoveAndBlock(finding, backup);
    }
    recorder_.ServiceDelete(finding.detail);
    LaunchServiceCommand(enc::ServiceFinalCommand, finding.detail);
  } else if (ContainsMarker(output, texts_.Get(enc::ExitMarker))) {
    view_.ShowMessage(texts_.Get(enc::ExitNotice), texts_.Get(enc::MessageTitle), MessageIcon::Information);
    view_.EndProgram();
    return Outcome::ProgramEnded;
  }

  if (IsEmptyFile(finding.path)) return Outcome::Treated;
  std::vector<Text> lines = StandardLines(finding, backup);
  lines.insert(lines.begin() + 1, finding.name + texts_.Get(enc::LogServiceText) + finding.detail +
                                      texts_.Get(enc::LogLineEnd));
  ReportTreatment(lines);
  return Outcome::Treated;
}

void TreatmentPass::TreatService(const Finding& finding) {
  if (finding.name == kNoneText) return;
  BeginBackupFolder(finding);
  LaunchServiceCommand(enc::ServiceHideCommand, finding.detail);
  Status(enc::ServiceHideStatus);
  view_.Delay(3);

  BackupState backup = BackupState::NothingToLose;  // an empty file has nothing to keep
  if (!IsEmptyFile(finding.path)) {
    backup = CopyToStore(finding);
    suspects_.EndCopiesOfImage(finding.name, finding.path);
    BackupStatus(backup);
    view_.Delay(1.5f);
  }
  if (finding.path != kNoneText) {
    RemoveAndBlock(finding, backup);
    recorder_.ServiceDelete(finding.detail);
    LaunchServiceCommand(enc::ServiceFinalCommand, finding.detail);
  }
  ReportTreatment(StandardLines(finding, backup));
}

void TreatmentPass::TreatRegistryEntry(const Finding& finding) {
  const bool named = finding.name != kNoneText;
  BackupState backup = BackupState::NothingToLose;
  if (named) {
    BeginBackupFolder(finding);
    backup = CopyToStore(finding);
    suspects_.EndCopiesOfImage(finding.name, finding.path);
    // Deleted from both roots whether or not it was found in each.
    const int32_t infectionRoot = RootKeyFromText(texts_.Get(enc::InfectionRootText));
    recorder_.RegistryValue(infectionRoot, texts_.Get(enc::InfectionKeyPath), finding.entryName);
    registry_.DeleteRegistryValue(infectionRoot, texts_.Get(enc::InfectionKeyPath), finding.entryName);
    recorder_.RegistryValue(ServiceRoot(), texts_.Get(enc::InfectionKeyPath), finding.entryName);
    registry_.DeleteRegistryValue(ServiceRoot(), texts_.Get(enc::InfectionKeyPath), finding.entryName);
    BackupStatus(backup);
    view_.Delay(1.5f);
  }
  if (IsEmptyFile(finding.path)) return;
  if (finding.path != kNoneText && named) RemoveAndBlock(finding, backup);
  if (named) ReportTreatment(StandardLines(finding, backup));
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
    processes_.TerminateProcessById(static_cast<int32_t>(id));
  } else {
    log_.Log_Trans(finding.name + texts_.Get(enc::LogStaleProcessText) + finding.processId + texts_.Get(enc::LogLineEnd),
                   LogFolder());
  }
  suspects_.EndCopiesOfImage(finding.name, finding.path);
}

BackupState TreatmentPass::CopyToStore(const Finding& finding) {
  if (!storeSound_) return BackupState::NotSecured;  // the file stays
  return CopyIntoBackup(files_, finding.path, currentBackupFolder_, finding.name, &lastBackupCopy_);
}

BackupState TreatmentPass::BackupCopy(const Finding& finding) {
  const BackupState backup = CopyToStore(finding);
  BackupStatus(backup);
  view_.Delay(1.5f);
  return backup;
}

void TreatmentPass::BackupStatus(BackupState backup) {
  switch (backup) {
    case BackupState::Secured: Status(enc::BackupDoneStatus); return;
    case BackupState::NothingToLose: Status(enc::NoFileStatus); return;
    case BackupState::NotSecured:
    case BackupState::NotAFile: Status(enc::FileKeptStatus); return;
  }
}

void TreatmentPass::RemoveAndBlock(const Finding& finding, BackupState backup) {
  // Without a whole copy the file stays; a folder is never the suspect's file.
  if (backup == BackupState::NotSecured || backup == BackupState::NotAFile) return;
  recorder_.File(finding.path, backup == BackupState::Secured ? TextView(lastBackupCopy_) : TextView());
  Status(enc::AttributeStatus);
  files_.SetAttributes(finding.path, kAttributeNormal);
  view_.Delay(1.5f);
  Status(enc::DeleteStatus);
  files_.RemoveFile(finding.path);
  view_.Delay(2);
  // A folder at the file's own path keeps the file from being written there again. A
  // file that could not be deleted keeps its own attributes: they are the folder's.
  if (files_.CreateFolder(finding.path)) files_.SetAttributes(finding.path, kPlaceholderAttributes);
}

std::vector<Text> TreatmentPass::StandardLines(const Finding& finding, BackupState backup) const {
  std::vector<Text> lines = {finding.name + texts_.Get(enc::LogTreatedText),
                             finding.name + texts_.Get(enc::LogPathText) + finding.path + texts_.Get(enc::LogLineEnd)};
  // The closing lines tell of a backup and a placeholder; a file that stayed gets one
  // line saying so instead.
  if (backup == BackupState::NotSecured) {
    lines.push_back(finding.name + texts_.Get(enc::LogFileKeptText) + finding.path + texts_.Get(enc::LogLineEnd));
  } else if (backup == BackupState::NotAFile) {
    lines.push_back(finding.name + texts_.Get(enc::LogNotAFileText) + finding.path + texts_.Get(enc::LogLineEnd));
  } else {
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

bool TreatmentPass::IsEmptyFile(TextView path) {
  // A length that cannot be read (a missing file) counts as not empty.
  return files_.FileLength(path) == int64_t{0};
}

void TreatmentPass::Status(TextView enciphered) { view_.SetStatusText(texts_.Get(enciphered)); }

void TreatmentPass::LaunchServiceCommand(TextView enciphered, TextView serviceName) {
  const Text command = CommandWithQuotedArgument(texts_.Get(enciphered), serviceName);
  if (!command.empty()) shell_.Launch(command, WindowState::MinimizedFocused);
}

int32_t TreatmentPass::ServiceRoot() const { return RootKeyFromText(texts_.Get(enc::ServiceRootText)); }

}  // namespace zc
