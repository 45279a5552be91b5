#include "core/engine/treatment_pass.h"

// What the pass tells of a Finding: its log lines in the backup folder (what was done,
// what failed, what was left alone and why) and the folder opened for the user.

#include "core/engine/quoted_command.h"

namespace zc {
namespace {

constexpr TextView kExplorerCommand = u"explorer.exe ";

}  // namespace

std::vector<Text> TreatmentPass::ResultLines(const TreatmentPlan& plan, BackupState backup, bool blocked) const {
  std::vector<Text> pathLines;
  if (plan.files.size() > 1) {
    for (const PlannedFile& file : plan.files) {
      pathLines.push_back(plan.name + texts_.Get(enc::LogPathText) + file.path + texts_.Get(enc::LogLineEnd));
    }
  } else {
    pathLines.push_back(plan.name + texts_.Get(enc::LogPathText) + plan.path + texts_.Get(enc::LogLineEnd));
  }
  std::vector<Text> lines;
  if (!failures_.empty()) {
    lines.push_back(plan.name + texts_.Get(enc::LogIncompleteText));
    lines.insert(lines.end(), pathLines.begin(), pathLines.end());
    lines.insert(lines.end(), failures_.begin(), failures_.end());
    lines.insert(lines.end(), keptLines_.begin(), keptLines_.end());
    return lines;
  }
  lines.push_back(plan.name + texts_.Get(enc::LogTreatedText));
  lines.insert(lines.end(), pathLines.begin(), pathLines.end());
  lines.insert(lines.end(), keptLines_.begin(), keptLines_.end());
  // The closing lines tell of a backup and a placeholder; a file that stayed gets one
  // line saying so instead.
  if (backup == BackupState::NotAFile) {
    lines.push_back(plan.name + texts_.Get(enc::LogNotAFileText) + plan.path + texts_.Get(enc::LogLineEnd));
  } else if (backup == BackupState::NotFound) {
    lines.push_back(plan.name + texts_.Get(enc::LogFileNotFoundText) + plan.path + texts_.Get(enc::LogLineEnd));
  } else if (blocked) {
    lines.push_back(texts_.Get(enc::LogClosingFirst));
    lines.push_back(texts_.Get(enc::LogClosingSecond));
  }
  return lines;
}

void TreatmentPass::NoteKept(const TreatmentPlan& plan) {
  // What was left alone keeps the row unless what starts the bot again is gone.
  const bool startUpGone = plan.RemovesStartUp();
  for (const KeptItem& item : plan.kept) {
    bool keepsRow = !startUpGone;
    if (item.reason == KeptReason::HostProgram) keepsRow = false;  // its payload tells
    if (item.reason == KeptReason::CriticalProcess) {
      keepsRow = true;
      restartNeeded_ = true;
    }
    if (keepsRow) {
      Fail(KeptLine(plan, item));
    } else {
      keptLines_.push_back(KeptLine(plan, item));
    }
  }
}

Text TreatmentPass::KeptLine(const TreatmentPlan& plan, const KeptItem& item) const {
  Text text;
  switch (item.reason) {
    case KeptReason::HostProgram: text = texts_.Get(enc::KeptHostText); break;
    case KeptReason::PayloadUnknown: text = texts_.Get(enc::KeptPayloadText); break;
    case KeptReason::WindowsFile: text = texts_.Get(enc::KeptWindowsFileText); break;
    case KeptReason::SignedFile:
      text = texts_.Get(enc::KeptSignedFileText) + item.publisher + texts_.Get(enc::KeptSignedFileMiddle);
      break;
    case KeptReason::CriticalProcess: text = texts_.Get(enc::KeptCriticalText); break;
    case KeptReason::CriticalityUnknown: text = texts_.Get(enc::KeptUnknownCriticalText); break;
    case KeptReason::CoreProcess: text = texts_.Get(enc::KeptCoreProcessText); break;
    case KeptReason::SharedServiceHost: text = texts_.Get(enc::KeptSharedHostText); break;
    case KeptReason::WindowsService: text = texts_.Get(enc::KeptWindowsServiceText); break;
    case KeptReason::NoOwningService: text = texts_.Get(enc::KeptNoServiceText); break;
    case KeptReason::UserMayNotDelete: text = texts_.Get(enc::KeptUserMayNotDeleteText); break;
    case KeptReason::UserVariablesUnknown: text = texts_.Get(enc::KeptUserVariablesText); break;
  }
  return plan.name + u": " + text + item.subject + texts_.Get(enc::LogLineEnd);
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
  if (opensBackupFolder_ && !explorer.empty()) m_.shell.Launch(explorer, WindowState::NormalFocused);
}

Text TreatmentPass::KeptFileLine(const PlannedFile& file) const {
  return file.name + u": " + texts_.Get(enc::StepBackupFile) + u" [" + file.path + texts_.Get(enc::LogLineEnd);
}

}  // namespace zc
